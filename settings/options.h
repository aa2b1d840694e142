// The ten options, described once: key, values (each with the form's label
// and what it puts into the library's command), default and the field of the
// settings record. The settings file, the form and the jobs all walk this one
// table.
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

// Positions of the destination values (DECOMPESS, COMPESS).
enum Destination { DEST_DESKTOP, DEST_SAMEPLACE, DEST_DECIDE };

// One value of a text option.
struct OptionValue {
    const char* text;         // as the settings file keeps it ("LEVEL3")
    const char* label = NULL; // as the form's list shows it; NULL: a radio button's own text
    // What the library's command gets: a level's switch; a format's command
    // (%s: the level switch, the archive path); a method's whole command of
    // an encrypted ZIP, the one format whose encryption the method decides.
    const char* engine = NULL;
    const char* encrypted = NULL; // a format's command with encryption; NULL: the method's
    const char* extension = NULL; // what a format's archive name ends with
};

struct OptionRow {
    const char* key;
    const OptionValue* values; // a text option's set; NULL for a flag
    int valueCount;
    const char* byDefault; // a value's text; a flag's default is "TRUE" or "FALSE"
    size_t field;          // offset of the field in CINI
    size_t fieldSize;
};

extern const OptionRow kOptions[OPTION_COUNT];

// Position of text in the option's value set (exact, case-sensitive), or -1.
int FindValue(OptionId option, const char* text);
// The option's value in the record: the position of its text in the value
// set (-1 outside it), or 1 and 0 for a flag on and off.
int RecordValue(const CINI* ini, OptionId option);
// Sets the option in the record from a value as RecordValue gives it; a text
// field is replaced whole.
void SetRecordValue(CINI* ini, OptionId option, int value);
// The text field of a text option; NULL for a flag.
char* RecordText(CINI* ini, OptionId option);
