// The settings record read from and written to its INI file, walking the
// option table.
#include "settings/ini.h"
#include "paths/pathparts.h"
#include "settings/options.h"
#include <string.h>

namespace {

const char kTrue[] = "TRUE";
const char kFalse[] = "FALSE";
// Bounds each read: a longer value comes back cut to 127 bytes, which no
// value set accepts.
const DWORD kValueBufferSize = 128;

// Sets an option from what the file held: a text outside the option's set
// gives its default, a flag is on only for the exact "TRUE".
void SetFromFile(CINI* ini, OptionId option, const char* value) {
    int index =
        kOptions[option].values == NULL ? strcmp(value, kTrue) == 0 : FindValue(option, value);
    if (index < 0) {
        index = FindValue(option, kOptions[option].byDefault);
    }
    SetRecordValue(ini, option, index);
}

} // namespace

CINI::CINI() {
    memset(iniPath, 0, sizeof iniPath);
    MakeIniPath();
    LoadSettings();
}

CINI::~CINI() {}

void CINI::LoadSettings() {
    // The defaults are what a file holding every key's default would give.
    for (int i = 0; i < OPTION_COUNT; ++i) {
        SetFromFile(this, (OptionId)i, kOptions[i].byDefault);
    }
    // A file that is missing, locked or unreadable is no settings file.
    if (iniPath[0] == '\0' || !FileOpensForReading(iniPath, FILE_SHARE_READ | FILE_SHARE_WRITE)) {
        return;
    }
    for (int i = 0; i < OPTION_COUNT; ++i) {
        char value[kValueBufferSize];
        memset(value, 0, sizeof value);
        // Nothing copied (the key present with an empty value) keeps the field.
        if (GetPrivateProfileStringA(INI_SECTION, kOptions[i].key, kOptions[i].byDefault, value,
                                     sizeof value, iniPath) != 0) {
            SetFromFile(this, (OptionId)i, value);
        }
    }
}

void CINI::SaveSettings() {
    if (iniPath[0] == '\0') {
        return;
    }
    for (int i = 0; i < OPTION_COUNT; ++i) {
        const char* value = RecordText(this, (OptionId)i);
        if (value == NULL) {
            value = RecordValue(this, (OptionId)i) ? kTrue : kFalse;
        }
        // A failed write (read-only folder) leaves the record as it is.
        WritePrivateProfileStringA(INI_SECTION, kOptions[i].key, value, iniPath);
    }
}
