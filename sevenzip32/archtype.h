// Tells archives from other files: ZIP and 7z by their signatures and
// headers, others by the engine's format list and, for real candidates only,
// by the engine itself. Never decrypts or extracts anything.
#pragma once
#include <windows.h>

#define SZ_TYPE_NONE (-1)
#define SZ_TYPE_OTHER 0
#define SZ_TYPE_ZIP 1
#define SZ_TYPE_7Z 2

// The archive type of a file: 1 ZIP, 2 7z, 0 another format the engine opens,
// -1 anything else. Never asks for a password.
int SzArchiveType(LPCSTR path);
