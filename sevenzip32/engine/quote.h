// Quoting of program arguments by the Windows splitting rules.
#pragma once
#include <windows.h>

#include "sevenzip32/base/args.h"

// Appends one argument to a command line so that the Windows splitting rules
// give it back unchanged; false when it does not fit.
bool SzAppendQuoted(LPSTR cmdLine, size_t cmdBytes, LPCSTR argument);

// The whole command line for a program path and its arguments (UTF-8), on
// the process heap (HeapFree), or NULL when memory ran out.
LPSTR SzJoinCommandLine(LPCSTR program, const SzArgs* args);
