#include "settings/options.h"
#include "settings/ini.h"
#include <string.h>
#include <strsafe.h>

namespace {

const OptionValue kDestinations[] = {{"DESKTOP"}, {"SAMEPLACE"}, {"DECIDE"}};

const OptionValue kFormats[] = {
    {"ZIP", "ZIP", "a -tzip %s -r0 \"%s\"", NULL, ".zip"},
    {"7Z", "7Z", "a -t7z -mhe=off %s -ms=off -m0=LZMA2 -r0 \"%s\"",
     "a -t7z -p -mhe=on %s -ms=off -m0=LZMA2 -r0 \"%s\"", ".7z"},
};

// The switches do not follow the level numbers one by one.
const OptionValue kLevels[] = {
    {"LEVEL0", "無圧縮", "-mx=0"}, {"LEVEL1", "最低圧縮", "-mx=1"},
    {"LEVEL2", "低圧縮", "-mx=3"}, {"LEVEL3", "標準圧縮", "-mx=5"},
    {"LEVEL4", "高圧縮", "-mx=7"}, {"LEVEL5", "最高圧縮", "-mx=9"},
};

const OptionValue kMethods[] = {
    {"ZipCrypto", "ZipCrypto", "a -tzip -p -mem=ZipCrypto %s -r0 \"%s\""},
    {"AES128", "AES128", "a -tzip -p -mem=AES128 %s -r0 \"%s\""},
    {"AES256", "AES256", "a -tzip -p -mem=AES256 %s -r0 \"%s\""},
};

} // namespace

// clang-format off
#define TEXT_OPTION(field, values, byDefault)                                                      \
    {#field, values, sizeof values / sizeof values[0], byDefault, offsetof(CINI, field),           \
     sizeof(CINI::field)}
#define FLAG_OPTION(field) {#field, NULL, 0, "TRUE", offsetof(CINI, field), sizeof(bool)}
// clang-format on

const OptionRow kOptions[OPTION_COUNT] = {
    TEXT_OPTION(DECOMPESS, kDestinations, "DESKTOP"),
    FLAG_OPTION(DECOMP_ALL),
    FLAG_OPTION(DECOMP_DIR),
    FLAG_OPTION(DECOMP_OPEN),
    TEXT_OPTION(COMPESS, kDestinations, "DESKTOP"),
    TEXT_OPTION(COMP_FORMAT, kFormats, "7Z"),
    TEXT_OPTION(COMP_LEVEL, kLevels, "LEVEL3"),
    FLAG_OPTION(COMP_ENCRYPT),
    TEXT_OPTION(COMP_ENC_METHOD, kMethods, "ZipCrypto"),
    FLAG_OPTION(COMP_OPEN),
};

int FindValue(OptionId option, const char* text) {
    const OptionRow& row = kOptions[option];
    for (int i = 0; i < row.valueCount; ++i) {
        if (strcmp(row.values[i].text, text) == 0) {
            return i;
        }
    }
    return -1;
}

static bool* RecordFlag(CINI* ini, OptionId option) {
    return kOptions[option].values == NULL ? (bool*)((char*)ini + kOptions[option].field) : NULL;
}

char* RecordText(CINI* ini, OptionId option) {
    return kOptions[option].values != NULL ? (char*)ini + kOptions[option].field : NULL;
}

int RecordValue(const CINI* ini, OptionId option) {
    CINI* record = const_cast<CINI*>(ini);
    if (kOptions[option].values == NULL) {
        return *RecordFlag(record, option) ? 1 : 0;
    }
    return FindValue(option, RecordText(record, option));
}

void SetRecordValue(CINI* ini, OptionId option, int value) {
    const OptionRow& row = kOptions[option];
    if (row.values == NULL) {
        *RecordFlag(ini, option) = value != 0;
        return;
    }
    char* text = RecordText(ini, option);
    memset(text, 0, row.fieldSize);
    StringCchCopyA(text, row.fieldSize, row.values[value].text);
}
