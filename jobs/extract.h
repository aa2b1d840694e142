// The extraction run: one library call per archive, in list order.
#pragma once
#include <windows.h>

struct InputList;
struct JobOptions;

// Extracts every archive of inputs into dest (or a new folder per archive
// inside it), going on after a failed archive.
void RunExtraction(const InputList* inputs, const char* dest, const JobOptions* options,
                   HWND owner);
