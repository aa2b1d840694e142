// The library's conversions between its three encodings: the ANSI code page
// (its callers' names; 932 where Tessaro runs), UTF-16 (Windows' file functions) and
// UTF-8 (the engine's and the host's names). Every output is zero-filled,
// bounded and terminated; false when the text did not convert or fit whole.
#pragma once
#include <windows.h>

// ANSI to UTF-16; strict: an invalid byte fails.
bool SzAnsiToWide(LPCSTR ansi, LPWSTR wide, int wideChars);

// UTF-16 to ANSI; a character the code page lacks fails.
bool SzWideToAnsi(LPCWSTR wide, LPSTR ansi, int ansiBytes);

// UTF-8 to UTF-16 and back.
bool SzUtf8ToWide(LPCSTR utf8, LPWSTR wide, int wideChars);
bool SzWideToUtf8(LPCWSTR wide, LPSTR utf8, int utf8Bytes);

// ANSI to UTF-8, for messages.
bool SzAnsiToUtf8(LPCSTR ansi, LPSTR utf8, int utf8Bytes);

// A new heap block (HeapFree) holding wide in UTF-8, whatever its length; NULL
// when memory ran out.
LPSTR SzWideToUtf8Alloc(LPCWSTR wide);
