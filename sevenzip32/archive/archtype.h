// Tells archives from other files: ZIP and 7z by their signatures and
// headers, others by the engine's format list and, for real candidates only,
// by the engine itself. Never decrypts or extracts anything.
#pragma once
#include <windows.h>

#include "sevenzip32/api.h"

// The archive type of a file: 1 ZIP, 2 7z, 0 another format the engine opens,
// -1 anything else. Never asks for a password.
int SzArchiveType(LPCSTR path);
