// The host's terminal, for a program started from a shell without a display.
#pragma once
#include <windows.h>

// Under Wine: asks on the host's terminal (/dev/tty) with echo off, the
// prompt in UTF-8. False when there is no terminal or nothing was typed.
bool SzAskOnHostTerminal(LPCSTR promptUtf8, LPWSTR answer, int answerChars);
