// The ten options, described once: key, value set, default, field of the
// settings record and the control that shows it. The settings file, the form
// and the jobs all walk this one table.
#pragma once
#include <stddef.h>

class CINI;

// Rows of kOptions, in the order of the settings file.
enum OptionId {
    OPT_DECOMPESS,
    OPT_DECOMP_ALL,
    OPT_DECOMP_DIR,
    OPT_DECOMP_OPEN,
    OPT_COMPESS,
    OPT_COMP_FORMAT,
    OPT_COMP_LEVEL,
    OPT_COMP_ENCRYPT,
    OPT_COMP_ENC_METHOD,
    OPT_COMP_OPEN,
    OPTION_COUNT
};

// How the form shows an option. A radio group is valueCount consecutive
// control ids, one per value; a list's selected index is the value.
enum OptionControl { RADIO_GROUP, CHECK_BOX, DROP_LIST };

struct OptionRow {
    const char* key;
    const char* const* values; // a text option's set; NULL for a flag
    int valueCount;
    const char* byDefault; // a flag's default is "TRUE" or "FALSE"
    size_t field;          // offset of the field in CINI
    size_t fieldSize;
    OptionControl kind;
    int control; // the first control id of a radio group
};

extern const OptionRow kOptions[OPTION_COUNT];

// The option's value in the record: the position of its text in the value
// set (-1 outside it), or 1 and 0 for a flag on and off.
int RecordValue(const CINI* ini, OptionId option);
// Sets the option in the record from a value as RecordValue gives it; a text
// field is replaced whole.
void SetRecordValue(CINI* ini, OptionId option, int value);
// The text field of a text option; NULL for a flag.
char* RecordText(CINI* ini, OptionId option);
