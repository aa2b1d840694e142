// The compression run: every input into one new archive with one library call.
#pragma once
#include <windows.h>

struct InputList;
struct JobOptions;

// Packs all inputs into an archive named after the first one, inside dest.
void RunCompression(const InputList* inputs, const char* dest, const JobOptions* options,
                    HWND owner);
