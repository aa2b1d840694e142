// The settings record's options by their settings keys, for tests that set
// or read the record (header only: the record is the program's).
#pragma once
#include "settings/ini.h"
#include "settings/options.h"
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace testsupport {

// The record's value of option i as the settings file writes it.
inline std::string OptionText(int i) {
    const char* text = RecordText(&g_ini, (OptionId)i);
    return text ? text : RecordValue(&g_ini, (OptionId)i) ? "TRUE" : "FALSE";
}

// Sets the record to the defaults, then each "KEY=VALUE" of options (blanks
// between them, a flag TRUE or FALSE), texts whole even outside their sets.
inline void SetOptions(const std::string& options = std::string()) {
    std::string all;
    for (int i = 0; i < OPTION_COUNT; ++i) {
        all += std::string(kOptions[i].key) + "=" + kOptions[i].byDefault + " ";
    }
    std::istringstream words(all + options);
    for (std::string word; words >> word;) {
        std::string key = word.substr(0, word.find('=')), value = word.substr(key.size() + 1);
        int i = 0;
        for (; i < OPTION_COUNT && key != kOptions[i].key; ++i) {
        }
        ASSERT_LT(i, OPTION_COUNT) << "no option " << key;
        if (char* text = RecordText(&g_ini, (OptionId)i)) {
            memset(text, 0, kOptions[i].fieldSize);
            lstrcpynA(text, value.c_str(), (int)kOptions[i].fieldSize);
        } else {
            SetRecordValue(&g_ini, (OptionId)i, value == "TRUE");
        }
    }
}

// The record's options that differ from the defaults, as SetOptions takes them.
inline std::string Options() {
    std::string out;
    for (int i = 0; i < OPTION_COUNT; ++i) {
        if (OptionText(i) != kOptions[i].byDefault) {
            out += (out.empty() ? "" : " ") + std::string(kOptions[i].key) + "=" + OptionText(i);
        }
    }
    return out;
}

} // namespace testsupport
