// Path parts found by characters of the active ANSI code page (932), where
// the second byte of a double-byte character may equal a backslash.
#pragma once
#include <windows.h>

// Where the path goes on after its drive ("C:"), or path itself without one.
const char* AfterDrive(const char* path);
// The last backslash or slash of text, or NULL.
const char* LastSeparator(const char* text);
// The last full stop of text, or NULL.
const char* LastFullStop(const char* text);
// The last backslash of text (never a slash), or NULL.
const char* LastBackslash(const char* text);
// Removes one trailing backslash (a real one, not a trail byte 0x5C).
void TrimTrailingBackslash(char* path);
// True when the file opens for reading with shareMode (closed again at once).
bool FileOpensForReading(const char* path, DWORD shareMode);
