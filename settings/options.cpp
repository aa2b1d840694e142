#include "settings/options.h"
#include "res/resource.h"
#include "settings/ini.h"
#include <string.h>
#include <strsafe.h>

#define TEXT_OPTION(field, values, count, byDefault, kind, control)                                \
    { #field, values, count, byDefault, offsetof(CINI, field), sizeof(CINI::field), kind, control }
#define FLAG_OPTION(field, control)                                                                \
    { #field, NULL, 0, "TRUE", offsetof(CINI, field), sizeof(bool), CHECK_BOX, control }

const OptionRow kOptions[OPTION_COUNT] = {
    TEXT_OPTION(DECOMPESS, kDestinationKinds, DEST_KIND_COUNT, "DESKTOP", RADIO_GROUP,
                IDC_DECOMP_DESKTOP),
    FLAG_OPTION(DECOMP_ALL, IDC_DECOMP_ALL),
    FLAG_OPTION(DECOMP_DIR, IDC_DECOMP_DIR),
    FLAG_OPTION(DECOMP_OPEN, IDC_DECOMP_OPEN),
    TEXT_OPTION(COMPESS, kDestinationKinds, DEST_KIND_COUNT, "DESKTOP", RADIO_GROUP,
                IDC_COMP_DESKTOP),
    TEXT_OPTION(COMP_FORMAT, kFormats, FORMAT_COUNT, "7Z", DROP_LIST, IDC_COMP_FORMAT),
    TEXT_OPTION(COMP_LEVEL, kLevels, LEVEL_COUNT, "LEVEL3", DROP_LIST, IDC_COMP_LEVEL),
    FLAG_OPTION(COMP_ENCRYPT, IDC_COMP_ENCRYPT),
    TEXT_OPTION(COMP_ENC_METHOD, kEncMethods, ENC_METHOD_COUNT, "ZipCrypto", DROP_LIST,
                IDC_COMP_ENC_METHOD),
    FLAG_OPTION(COMP_OPEN, IDC_COMP_OPEN),
};

static bool* RecordFlag(CINI* ini, OptionId option) {
    return kOptions[option].values == NULL ? (bool*)((char*)ini + kOptions[option].field) : NULL;
}

char* RecordText(CINI* ini, OptionId option) {
    return kOptions[option].values != NULL ? (char*)ini + kOptions[option].field : NULL;
}

int RecordValue(const CINI* ini, OptionId option) {
    const OptionRow& row = kOptions[option];
    CINI* record = const_cast<CINI*>(ini);
    if (row.values == NULL) {
        return *RecordFlag(record, option) ? 1 : 0;
    }
    return FindValue(row.values, row.valueCount, RecordText(record, option));
}

void SetRecordValue(CINI* ini, OptionId option, int value) {
    const OptionRow& row = kOptions[option];
    if (row.values == NULL) {
        *RecordFlag(ini, option) = value != 0;
        return;
    }
    char* text = RecordText(ini, option);
    memset(text, 0, row.fieldSize);
    StringCchCopyA(text, row.fieldSize, row.values[value]);
}
