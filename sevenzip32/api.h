// The interface of 7-zip32.dll as its callers bind it: the six entry points,
// the archive types SevenZipGetArchiveType answers and the result codes of
// SevenZip. The library and every caller include this one header.
#pragma once
#include <windows.h>

#define SEVENZIP_DLL_NAME "7-zip32.dll"

// The six entry points, listed once: X(result, name, parameters).
#define SEVENZIP_ENTRY_POINTS(X)                                                                   \
    X(int, SevenZip, (HWND ownerWnd, LPCSTR cmdLine, LPSTR output, DWORD outputSize))              \
    X(WORD, SevenZipGetVersion, (void))                                                            \
    X(BOOL, SevenZipGetRunning, (void))                                                            \
    X(BOOL, SevenZipConfigDialog, (HWND ownerWnd, LPSTR options, int mode))                        \
    X(BOOL, SevenZipCheckArchive, (LPCSTR archivePath, int mode))                                  \
    X(int, SevenZipGetArchiveType, (LPCSTR archivePath))

// Their pointer types, SevenZipFn and so on.
#define SEVENZIP_DECLARE_TYPE(result, name, params) typedef result(WINAPI* name##Fn) params;
SEVENZIP_ENTRY_POINTS(SEVENZIP_DECLARE_TYPE)
#undef SEVENZIP_DECLARE_TYPE

// SevenZipGetArchiveType: no archive (or a folder, a missing or damaged
// file), another format the engine opens, ZIP, 7z.
#define SEVENZIP_TYPE_NONE (-1)
#define SEVENZIP_TYPE_OTHER 0
#define SEVENZIP_TYPE_ZIP 1
#define SEVENZIP_TYPE_7Z 2

// SevenZip's results.
#define SEVENZIP_OK 0
#define SEVENZIP_ERROR_PASSWORD 0x800A
#define SEVENZIP_ERROR_COMMAND 0x801C
#define SEVENZIP_ERROR_MEMORY 0x801D
#define SEVENZIP_ERROR_CANCELLED 0x8020
#define SEVENZIP_ERROR_WARNING 0x8101
#define SEVENZIP_ERROR_FATAL 0x8102
