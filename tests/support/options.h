// The ten options of the settings record written as one line, for tests
// that set or read the record (header only: the record is the program's).
#pragma once
#include "settings/ini.h"
#include "settings/options.h"
#include <sstream>
#include <string>

namespace testsupport {

// The ten options in file order, '|' between them, flags as 1 or 0.
const char kDefaults[] = "DESKTOP|1|1|1|DESKTOP|7Z|LEVEL3|1|ZipCrypto|1";

// Writes options (as kDefaults) into the settings record, texts whole even
// outside their value sets.
inline void SetOptions(const std::string& options) {
    std::istringstream in(options);
    for (int i = 0; i < OPTION_COUNT; ++i) {
        std::string value;
        std::getline(in, value, '|');
        if (char* text = RecordText(&g_ini, (OptionId)i)) {
            memset(text, 0, kOptions[i].fieldSize);
            lstrcpynA(text, value.c_str(), (int)kOptions[i].fieldSize);
        } else {
            SetRecordValue(&g_ini, (OptionId)i, value == "1");
        }
    }
}

// The settings record's ten options, written as SetOptions reads them.
inline std::string Options() {
    std::string out;
    for (int i = 0; i < OPTION_COUNT; ++i) {
        const char* text = RecordText(&g_ini, (OptionId)i);
        out += (i ? "|" : "") + std::string(text                               ? text
                                            : RecordValue(&g_ini, (OptionId)i) ? "1"
                                                                               : "0");
    }
    return out;
}

} // namespace testsupport
