// The option values a job reads, from whatever source its front end hands
// over, so that the runs never know which front end started them.
#pragma once
#include "settings/options.h"

// Where a job's options come from: valueOf gives an option's value as
// RecordValue does (-1: none), asked anew at every question.
struct JobOptions {
    int (*valueOf)(const void* context, OptionId option);
    const void* context;
};

// Options read from a settings record.
JobOptions OptionsFromSettings(const CINI* settings);

// True when the flag option is on.
bool JobFlagOn(const JobOptions* options, OptionId option);
// The text option's value, or NULL when it has none (nothing chosen, or a
// stored text outside its set).
const OptionValue* JobValue(const JobOptions* options, OptionId option);
