#include "settings/ini.h"
#include <string.h>

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

// Placeholder until the settings file lands: defaults only.
CINI::CINI() {
    memset(iniPath, 0, sizeof iniPath);
    memset(DECOMPESS, 0, sizeof DECOMPESS);
    strcpy(DECOMPESS, "DESKTOP");
    memset(COMPESS, 0, sizeof COMPESS);
    strcpy(COMPESS, "DESKTOP");
    memset(COMP_FORMAT, 0, sizeof COMP_FORMAT);
    strcpy(COMP_FORMAT, "7Z");
    memset(COMP_LEVEL, 0, sizeof COMP_LEVEL);
    strcpy(COMP_LEVEL, "LEVEL3");
    memset(COMP_ENC_METHOD, 0, sizeof COMP_ENC_METHOD);
    strcpy(COMP_ENC_METHOD, "ZipCrypto");
    DECOMP_ALL = DECOMP_DIR = DECOMP_OPEN = COMP_ENCRYPT = COMP_OPEN = true;
}
CINI::~CINI() {}
bool CINI::MakeIniPath() { return false; }
void CINI::SaveSettings() {}
