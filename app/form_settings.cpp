// Copies the ten options between the settings record and the form, walking
// one table in both directions.
#include "app/controls.h"
#include "app/mainwnd.h"
#include "res/resource.h"
#include "settings/ini.h"
#include <string.h>
#include <strsafe.h>

namespace {

enum OptionKind { RADIO_GROUP, CHECK_BOX, DROP_LIST };

// One option and the control(s) showing it. A radio group is `count`
// consecutive ids from `id`, one per value; a list's index is the value.
struct OptionControl {
    OptionKind kind;
    int id;
    char* text; // text options: the whole field of the settings record
    size_t textSize;
    bool* flag; // check boxes
    const char* const* values;
    int count;
    void (*follow)(int value); // what else the value steers, or NULL
};

void FollowFormat(int index) {
    ShowMethodListForFormat(index);
}
void FollowEncrypt(int on) {
    EnableMethodListForEncryption(on != 0);
}

#define TEXT_FIELD(field) g_ini.field, sizeof g_ini.field, NULL
#define FLAG_FIELD(field) NULL, 0, &g_ini.field, NULL, 0

const OptionControl kOptions[] = {
    {RADIO_GROUP, IDC_DECOMP_DESKTOP, TEXT_FIELD(DECOMPESS), kDestinationKinds, DEST_KIND_COUNT,
     NULL},
    {CHECK_BOX, IDC_DECOMP_ALL, FLAG_FIELD(DECOMP_ALL), NULL},
    {CHECK_BOX, IDC_DECOMP_DIR, FLAG_FIELD(DECOMP_DIR), NULL},
    {CHECK_BOX, IDC_DECOMP_OPEN, FLAG_FIELD(DECOMP_OPEN), NULL},
    {RADIO_GROUP, IDC_COMP_DESKTOP, TEXT_FIELD(COMPESS), kDestinationKinds, DEST_KIND_COUNT, NULL},
    {DROP_LIST, IDC_COMP_FORMAT, TEXT_FIELD(COMP_FORMAT), kFormats, FORMAT_COUNT, FollowFormat},
    {DROP_LIST, IDC_COMP_LEVEL, TEXT_FIELD(COMP_LEVEL), kLevels, LEVEL_COUNT, NULL},
    {CHECK_BOX, IDC_COMP_ENCRYPT, FLAG_FIELD(COMP_ENCRYPT), FollowEncrypt},
    {DROP_LIST, IDC_COMP_ENC_METHOD, TEXT_FIELD(COMP_ENC_METHOD), kEncMethods, ENC_METHOD_COUNT,
     NULL},
    {CHECK_BOX, IDC_COMP_OPEN, FLAG_FIELD(COMP_OPEN), NULL},
};
const int kOptionCount = sizeof kOptions / sizeof kOptions[0];

// The value index the controls of a text option show, or -1.
int ShownValue(const OptionControl& o) {
    if (o.kind == DROP_LIST) {
        int sel = ListSelection(o.id);
        return sel >= 0 && sel < o.count ? sel : -1;
    }
    for (int i = 0; i < o.count; ++i) {
        if (IsControlOn(o.id + i)) {
            return i;
        }
    }
    return -1;
}

void ShowValue(const OptionControl& o, int index) {
    if (o.kind == DROP_LIST) {
        SelectListItem(o.id, index);
        return;
    }
    // Only the matching radio is checked: unchecking the others would also
    // take their tab stops away.
    SetControlOn(o.id + index, true);
}

} // namespace

void ShowMethodListForFormat(int formatIndex) {
    if (formatIndex == 0 || formatIndex == 1) {
        ShowWindow(ControlHandle(IDC_COMP_ENC_METHOD), formatIndex == 0 ? SW_SHOW : SW_HIDE);
    }
}

void EnableMethodListForEncryption(bool on) {
    EnableWindow(ControlHandle(IDC_COMP_ENC_METHOD), on);
}

void ApplySettingsToControls() {
    for (int i = 0; i < kOptionCount; ++i) {
        const OptionControl& o = kOptions[i];
        int value;
        if (o.kind == CHECK_BOX) {
            value = *o.flag ? 1 : 0;
            SetControlOn(o.id, *o.flag);
        } else {
            value = FindValue(o.values, o.count, o.text);
            if (value < 0) {
                continue; // an unknown text leaves the controls as they are
            }
            ShowValue(o, value);
        }
        if (o.follow != NULL) {
            o.follow(value);
        }
    }
}

void StoreControlsToSettings() {
    for (int i = 0; i < kOptionCount; ++i) {
        const OptionControl& o = kOptions[i];
        if (o.kind == CHECK_BOX) {
            *o.flag = IsControlOn(o.id);
            continue;
        }
        int value = ShownValue(o);
        if (value >= 0) {
            memset(o.text, 0, o.textSize);
            StringCchPrintfA(o.text, o.textSize, "%s", o.values[value]);
        }
    }
    g_ini.SaveSettings();
}
