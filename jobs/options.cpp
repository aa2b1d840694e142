#include "jobs/options.h"
#include "res/resource.h"
#include "settings/ini.h"

struct FlagSource {
    int controlId;
    bool CINI::*field;
};

// Indexed by JobFlag.
static const FlagSource kFlagSources[] = {
    {IDC_DECOMP_ALL, &CINI::DECOMP_ALL},   {IDC_DECOMP_DIR, &CINI::DECOMP_DIR},
    {IDC_DECOMP_OPEN, &CINI::DECOMP_OPEN}, {IDC_COMP_ENCRYPT, &CINI::COMP_ENCRYPT},
    {IDC_COMP_OPEN, &CINI::COMP_OPEN},
};

enum TextControl { RADIO_GROUP, DROP_LIST };

struct TextSource {
    TextControl kind;
    int firstId; // first radio button of the group, or the list
    const char* const* values;
    int count;
};

// Indexed by JobText.
static const TextSource kTextSources[] = {
    {RADIO_GROUP, IDC_DECOMP_DESKTOP, kDestinationKinds, DEST_KIND_COUNT},
    {RADIO_GROUP, IDC_COMP_DESKTOP, kDestinationKinds, DEST_KIND_COUNT},
    {DROP_LIST, IDC_COMP_FORMAT, kFormats, FORMAT_COUNT},
    {DROP_LIST, IDC_COMP_LEVEL, kLevels, LEVEL_COUNT},
    {DROP_LIST, IDC_COMP_ENC_METHOD, kEncMethods, ENC_METHOD_COUNT},
};

JobOptions OptionsFromControls(HWND mainWnd) {
    JobOptions options = {mainWnd, NULL};
    return options;
}

JobOptions OptionsFromSettings(const CINI* settings) {
    JobOptions options = {NULL, settings};
    return options;
}

static bool IsChecked(HWND owner, int id) {
    return SendMessageA(GetDlgItem(owner, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool JobFlagOn(const JobOptions* options, JobFlag flag) {
    const FlagSource& source = kFlagSources[flag];
    if (options->controlsWnd != NULL) {
        return IsChecked(options->controlsWnd, source.controlId);
    }
    return options->settings->*source.field;
}

static const char* SettingsText(const CINI* settings, JobText text) {
    switch (text) {
    case JOB_DECOMPESS: return settings->DECOMPESS;
    case JOB_COMPESS: return settings->COMPESS;
    case JOB_COMP_FORMAT: return settings->COMP_FORMAT;
    case JOB_COMP_LEVEL: return settings->COMP_LEVEL;
    case JOB_COMP_ENC_METHOD: return settings->COMP_ENC_METHOD;
    }
    return NULL;
}

static const char* ControlText(HWND owner, const TextSource& source) {
    if (source.kind == RADIO_GROUP) {
        for (int i = 0; i < source.count; ++i) {
            if (IsChecked(owner, source.firstId + i)) {
                return source.values[i];
            }
        }
        return NULL;
    }
    HWND list = GetDlgItem(owner, source.firstId);
    if (list == NULL) {
        return NULL;
    }
    LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= source.count) {
        return NULL;
    }
    return source.values[index];
}

const char* JobTextValue(const JobOptions* options, JobText text) {
    if (options->controlsWnd != NULL) {
        return ControlText(options->controlsWnd, kTextSources[text]);
    }
    return SettingsText(options->settings, text);
}
