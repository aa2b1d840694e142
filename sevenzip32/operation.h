// One SevenZip call from command line to result: asking, running, reporting.
#pragma once
#include <windows.h>

// Runs a command of the library's syntax with owner as the owner of every
// window; output (if any) receives the engine's text in code page 932.
int SzExecute(HWND owner, LPCSTR cmdLine, LPSTR output, DWORD outputSize);

// The archive type of a file: 1 ZIP, 2 7z, 0 another format the engine opens,
// -1 anything else. Never asks for a password.
int SzArchiveType(LPCSTR path);
