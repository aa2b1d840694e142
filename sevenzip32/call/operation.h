// One SevenZip call from command line to result: asking, running, reporting.
#pragma once
#include <windows.h>

// Runs a command of the library's syntax with owner as the owner of every
// window; output (if any) receives the engine's text in code page 932.
int SzExecute(HWND owner, LPCSTR cmdLine, LPSTR output, DWORD outputSize);
