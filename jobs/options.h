// The ten option values a job reads, from the window's controls or from the
// settings record, so that the runs never know which front end started them.
#pragma once
#include <windows.h>

class CINI;

// The on/off options.
enum JobFlag { JOB_DECOMP_ALL, JOB_DECOMP_DIR, JOB_DECOMP_OPEN, JOB_COMP_ENCRYPT, JOB_COMP_OPEN };

// The text options.
enum JobText { JOB_DECOMPESS, JOB_COMPESS, JOB_COMP_FORMAT, JOB_COMP_LEVEL, JOB_COMP_ENC_METHOD };

// Where the values come from: the controls of controlsWnd when it is set,
// otherwise the settings record.
struct JobOptions {
    HWND controlsWnd;
    const CINI* settings;
};

// Options read anew from the controls of mainWnd at every question.
JobOptions OptionsFromControls(HWND mainWnd);
// Options read from a settings record.
JobOptions OptionsFromSettings(const CINI* settings);

// True when the option is on (a control counts only when BST_CHECKED).
bool JobFlagOn(const JobOptions* options, JobFlag flag);
// The option's text, or NULL when it has no value (no radio button or list
// item selected).
const char* JobTextValue(const JobOptions* options, JobText text);
