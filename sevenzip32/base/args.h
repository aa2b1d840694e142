// A growable list of NUL-terminated argument strings (UTF-8 for the engine).
#pragma once
#include <windows.h>

#include "sevenzip32/base/buffer.h"

// The strings one after another in the buffer, each NUL-terminated.
struct SzArgs : SzBuffer {
    int count; // number of strings
    // Where the last look-up ended, so that walking the list in order is linear.
    mutable int cursorIndex;
    mutable size_t cursorOffset;
};

// Starts an empty list.
void SzArgsInit(SzArgs* args);

// Appends one string; returns false when memory ran out.
bool SzArgsAdd(SzArgs* args, LPCSTR value);

// Appends the concatenation of two strings (a switch and its value).
bool SzArgsAdd2(SzArgs* args, LPCSTR first, LPCSTR second);

// Returns string number index (0-based), or NULL past the end.
LPCSTR SzArgsAt(const SzArgs* args, int index);

// Builds a NULL-terminated pointer array over the strings, to free with HeapFree.
char** SzArgsVector(const SzArgs* args, int leading, char** leadingValues);

// Releases the list's memory.
void SzArgsFree(SzArgs* args);
