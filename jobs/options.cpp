#include "jobs/options.h"

static int SettingsValue(const void* context, OptionId option) {
    return RecordValue(static_cast<const CINI*>(context), option);
}

JobOptions OptionsFromSettings(const CINI* settings) {
    JobOptions options = {SettingsValue, settings};
    return options;
}

bool JobFlagOn(const JobOptions* options, OptionId option) {
    return options->valueOf(options->context, option) == 1;
}

const OptionValue* JobValue(const JobOptions* options, OptionId option) {
    int value = options->valueOf(options->context, option);
    return value >= 0 && value < kOptions[option].valueCount ? &kOptions[option].values[value]
                                                             : NULL;
}
