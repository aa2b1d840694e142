// Copies the ten options between the settings record and the form, and
// reads them from the form for a drop job, walking the one option table.
#include "app/controls.h"
#include "app/mainwnd.h"
#include "jobs/options.h"
#include "res/resource.h"
#include "settings/ini.h"

namespace {

// The value the controls of an option show, as RecordValue gives it, or -1.
int ShownValue(const void*, OptionId option) {
    const OptionRow& o = kOptions[option];
    if (o.kind == CHECK_BOX) {
        return IsControlOn(o.control) ? 1 : 0;
    }
    if (o.kind == DROP_LIST) {
        int sel = ListSelection(o.control);
        return sel >= 0 && sel < o.valueCount ? sel : -1;
    }
    for (int i = 0; i < o.valueCount; ++i) {
        if (IsControlOn(o.control + i)) {
            return i;
        }
    }
    return -1;
}

void ShowValue(const OptionRow& o, int value) {
    if (o.kind == CHECK_BOX) {
        SetControlOn(o.control, value != 0);
    } else if (o.kind == DROP_LIST) {
        SelectListItem(o.control, value);
    } else {
        // Only the matching radio is checked: unchecking the others would
        // also take their tab stops away.
        SetControlOn(o.control + value, true);
    }
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
    for (int i = 0; i < OPTION_COUNT; ++i) {
        int value = RecordValue(&g_ini, (OptionId)i);
        if (value < 0) {
            continue; // an unknown text leaves the controls as they are
        }
        ShowValue(kOptions[i], value);
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
