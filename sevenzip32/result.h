// Result codes of the library and their mapping from the engine's exit status.
#pragma once
#include <windows.h>

#define SZ_OK 0
#define SZ_ERROR_PASSWORD 0x800A
#define SZ_ERROR_COMMAND 0x801C
#define SZ_ERROR_MEMORY 0x801D
#define SZ_ERROR_CANCELLED 0x8020
#define SZ_ERROR_WARNING 0x8101
#define SZ_ERROR_FATAL 0x8102

// Turns the engine's exit code and its error text (UTF-8) into a result code.
int SzMapExitCode(int exitCode, LPCSTR errorText, bool cancelled);

// True when the engine's text says a password was wrong or missing.
bool SzTextMeansWrongPassword(LPCSTR text);
