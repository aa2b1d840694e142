#include "app/form.h"
#include "app/controls.h"
#include "jobs/options.h"
#include "res/resource.h"
#include "settings/ini.h"

namespace {

// How the form shows an option. A radio group is one button per value, in
// consecutive ids; a list's selected index is the value.
enum ShownAs { RADIO_GROUP, CHECK_BOX, DROP_LIST };

struct FormRow {
    ShownAs kind;
    int control; // the first button of a radio group
};

// Indexed by OptionId.
const FormRow kForm[OPTION_COUNT] = {
    {RADIO_GROUP, IDC_DECOMP_DESKTOP}, {CHECK_BOX, IDC_DECOMP_ALL},
    {CHECK_BOX, IDC_DECOMP_DIR},       {CHECK_BOX, IDC_DECOMP_OPEN},
    {RADIO_GROUP, IDC_COMP_DESKTOP},   {DROP_LIST, IDC_COMP_FORMAT},
    {DROP_LIST, IDC_COMP_LEVEL},       {CHECK_BOX, IDC_COMP_ENCRYPT},
    {DROP_LIST, IDC_COMP_ENC_METHOD},  {CHECK_BOX, IDC_COMP_OPEN},
};

// The value the controls of an option show, as RecordValue gives it, or -1.
int ShownValue(const void*, OptionId option) {
    const FormRow& f = kForm[option];
    int count = kOptions[option].valueCount;
    if (f.kind == CHECK_BOX) {
        return IsControlOn(f.control) ? 1 : 0;
    }
    if (f.kind == DROP_LIST) {
        int sel = ListSelection(f.control);
        return sel >= 0 && sel < count ? sel : -1;
    }
    for (int i = 0; i < count; ++i) {
        if (IsControlOn(f.control + i)) {
            return i;
        }
    }
    return -1;
}

void ShowValue(const FormRow& f, int value) {
    if (f.kind == CHECK_BOX) {
        SetControlOn(f.control, value != 0);
    } else if (f.kind == DROP_LIST) {
        SelectListItem(f.control, value);
    } else {
        // Only the matching radio is checked: unchecking the others would
        // also take their tab stops away.
        SetControlOn(f.control + value, true);
    }
}

} // namespace

void CreateForm(HWND mainWnd) {
    CreateControls(mainWnd);
    for (int i = 0; i < OPTION_COUNT; ++i) {
        for (int j = 0; kForm[i].kind == DROP_LIST && j < kOptions[i].valueCount; ++j) {
            AddListItem(kForm[i].control, kOptions[i].values[j].label);
        }
    }
}

void ShowMethodListForFormat(int formatIndex) {
    if (formatIndex >= 0 && formatIndex < kOptions[OPT_COMP_FORMAT].valueCount) {
        bool methodDecides = kOptions[OPT_COMP_FORMAT].values[formatIndex].encrypted == NULL;
        ShowWindow(ControlHandle(IDC_COMP_ENC_METHOD), methodDecides ? SW_SHOW : SW_HIDE);
    }
}

void EnableMethodListForEncryption(bool on) {
    EnableWindow(ControlHandle(IDC_COMP_ENC_METHOD), on);
}

void ApplySettingsToControls() {
    for (int i = 0; i < OPTION_COUNT; ++i) {
        int value = RecordValue(&g_ini, (OptionId)i);
        if (value < 0) {
            continue; // an unknown text leaves the controls as they are
        }
        ShowValue(kForm[i], value);
        if (i == OPT_COMP_FORMAT) {
            ShowMethodListForFormat(value);
        } else if (i == OPT_COMP_ENCRYPT) {
            EnableMethodListForEncryption(value != 0);
        }
    }
}

void StoreControlsToSettings() {
    for (int i = 0; i < OPTION_COUNT; ++i) {
        int value = ShownValue(NULL, (OptionId)i);
        if (value >= 0) {
            SetRecordValue(&g_ini, (OptionId)i, value);
        }
    }
    g_ini.SaveSettings();
}

JobOptions FormOptions() {
    JobOptions options = {ShownValue, NULL};
    return options;
}
