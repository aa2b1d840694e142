#include "settings/ini.h"
#include <string.h>
#include <strsafe.h>

const char* const kDestinationKinds[DEST_KIND_COUNT] = {"DESKTOP", "SAMEPLACE", "DECIDE"};
const char* const kFormats[FORMAT_COUNT] = {"ZIP", "7Z"};
const char* const kLevels[LEVEL_COUNT] = {"LEVEL0", "LEVEL1", "LEVEL2",
                                          "LEVEL3", "LEVEL4", "LEVEL5"};
const char* const kEncMethods[ENC_METHOD_COUNT] = {"ZipCrypto", "AES128", "AES256"};

int FindValue(const char* const* values, int count, const char* text) {
    for (int i = 0; i < count; ++i) {
        if (strcmp(values[i], text) == 0) {
            return i;
        }
    }
    return -1;
}

namespace {

const char kTrue[] = "TRUE";
const char kFalse[] = "FALSE";
// Bounds each read: a longer value comes back cut to 127 bytes, which no
// value set accepts.
const DWORD kValueBufferSize = 128;

// One key of the settings file and the field that keeps it. A text key has
// its value set; a flag key has none and is "TRUE" or "FALSE" in the file.
// byDefault is the built-in default, the read default and the fallback.
struct SettingKey {
    const char* name;
    const char* const* values;
    int valueCount;
    const char* byDefault;
    char* text;
    size_t textSize;
    bool* flag;
};

enum { KEY_COUNT = 10 };

// The ten keys in file order, bound to the fields of one record.
void BindKeys(CINI* ini, SettingKey keys[KEY_COUNT]) {
    const SettingKey bound[KEY_COUNT] = {
        {"DECOMPESS", kDestinationKinds, DEST_KIND_COUNT, "DESKTOP", ini->DECOMPESS,
         sizeof ini->DECOMPESS, NULL},
        {"DECOMP_ALL", NULL, 0, kTrue, NULL, 0, &ini->DECOMP_ALL},
        {"DECOMP_DIR", NULL, 0, kTrue, NULL, 0, &ini->DECOMP_DIR},
        {"DECOMP_OPEN", NULL, 0, kTrue, NULL, 0, &ini->DECOMP_OPEN},
        {"COMPESS", kDestinationKinds, DEST_KIND_COUNT, "DESKTOP", ini->COMPESS,
         sizeof ini->COMPESS, NULL},
        {"COMP_FORMAT", kFormats, FORMAT_COUNT, "7Z", ini->COMP_FORMAT, sizeof ini->COMP_FORMAT,
         NULL},
        {"COMP_LEVEL", kLevels, LEVEL_COUNT, "LEVEL3", ini->COMP_LEVEL, sizeof ini->COMP_LEVEL,
         NULL},
        {"COMP_ENCRYPT", NULL, 0, kTrue, NULL, 0, &ini->COMP_ENCRYPT},
        {"COMP_ENC_METHOD", kEncMethods, ENC_METHOD_COUNT, "ZipCrypto", ini->COMP_ENC_METHOD,
         sizeof ini->COMP_ENC_METHOD, NULL},
        {"COMP_OPEN", NULL, 0, kTrue, NULL, 0, &ini->COMP_OPEN},
    };
    for (int i = 0; i < KEY_COUNT; ++i) {
        keys[i] = bound[i];
    }
}

// A text field is always replaced whole, so no tail of an older value stays.
void SetText(const SettingKey& key, const char* value) {
    memset(key.text, 0, key.textSize);
    StringCchCopyA(key.text, key.textSize, value);
}

// Sets the field of key from what the file held; a text outside the key's
// set gives its default, a flag is true only for the exact "TRUE".
void SetFromFile(const SettingKey& key, const char* value) {
    if (key.flag != NULL) {
        *key.flag = strcmp(value, kTrue) == 0;
    } else {
        SetText(key, FindValue(key.values, key.valueCount, value) >= 0 ? value : key.byDefault);
    }
}

// An open for reading, closed at once: a file that is missing, locked or
// unreadable is no settings file.
bool FileOpensForReading(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

} // namespace

CINI::CINI() {
    memset(iniPath, 0, sizeof iniPath);
    MakeIniPath();
    LoadSettings();
}

CINI::~CINI() {}

void CINI::LoadSettings() {
    SettingKey keys[KEY_COUNT];
    BindKeys(this, keys);
    // The defaults are what a file holding every key's default would give.
    for (int i = 0; i < KEY_COUNT; ++i) {
        SetFromFile(keys[i], keys[i].byDefault);
    }
    if (iniPath[0] == '\0' || !FileOpensForReading(iniPath)) {
        return;
    }
    for (int i = 0; i < KEY_COUNT; ++i) {
        char value[kValueBufferSize];
        memset(value, 0, sizeof value);
        // Nothing copied (the key present with an empty value) keeps the field.
        if (GetPrivateProfileStringA(INI_SECTION, keys[i].name, keys[i].byDefault, value,
                                     sizeof value, iniPath) != 0) {
            SetFromFile(keys[i], value);
        }
    }
}

void CINI::SaveSettings() {
    if (iniPath[0] == '\0') {
        return;
    }
    SettingKey keys[KEY_COUNT];
    BindKeys(this, keys);
    for (int i = 0; i < KEY_COUNT; ++i) {
        const char* value = keys[i].text;
        if (keys[i].flag != NULL) {
            value = *keys[i].flag ? kTrue : kFalse;
        }
        // A failed write (read-only folder) leaves the record as it is.
        WritePrivateProfileStringA(INI_SECTION, keys[i].name, value, iniPath);
    }
}
