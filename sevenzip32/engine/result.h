// Result codes of the library and their mapping from the engine's exit status.
#pragma once
#include <windows.h>

#include "sevenzip32/api.h"

// Turns the engine's exit code and its error text (UTF-8) into a result code.
int SzMapExitCode(int exitCode, LPCSTR errorText, bool cancelled);
