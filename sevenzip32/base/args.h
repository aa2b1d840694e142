// A growable list of NUL-terminated argument strings (UTF-8 for the engine).
#pragma once
#include <windows.h>

struct SzArgs {
    char* text;  // the strings one after another, each NUL-terminated
    size_t used; // bytes of text in use
    size_t size; // bytes of text allocated
    int count;   // number of strings
    bool failed; // an allocation failed; the list is incomplete
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
