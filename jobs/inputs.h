// The inputs of one job: paths in the order they were delivered.
#pragma once
#include <windows.h>

// One input path, at most MAX_PATH bytes of code page 932 text.
struct PathEntry {
    char path[MAX_PATH + 1];
};

// An ordered, growable list of inputs; duplicates are kept.
struct InputList {
    PathEntry* entries;
    int count;
    int capacity;
};

// Makes list empty without allocating anything.
void InitInputList(InputList* list);
// Appends path whole; false when it is longer than MAX_PATH bytes or memory runs out.
bool AppendInput(InputList* list, const char* path);
// Releases the entries and leaves the list empty.
void FreeInputList(InputList* list);
// True when some entry holds a double quote, which would break a command's quoting.
bool AnyInputHasQuote(const InputList* list);
