// Run-time binding to the outside archiver library 7-zip32.dll.
#pragma once
#include <windows.h>

#define SEVENZIP_DLL_NAME "7-zip32.dll"
#define SEVENZIP_MIN_VERSION 920

// The six entry points, listed once: X(result, name, parameters).
#define SEVENZIP_ENTRY_POINTS(X)                                                                   \
    X(int, SevenZip, (HWND ownerWnd, LPCSTR cmdLine, LPSTR output, DWORD outputSize))              \
    X(WORD, SevenZipGetVersion, (void))                                                            \
    X(BOOL, SevenZipGetRunning, (void))                                                            \
    X(BOOL, SevenZipConfigDialog, (HWND ownerWnd, LPSTR options, int mode))                        \
    X(BOOL, SevenZipCheckArchive, (LPCSTR archivePath, int mode))                                  \
    X(int, SevenZipGetArchiveType, (LPCSTR archivePath))

#define SEVENZIP_DECLARE_TYPE(result, name, params) typedef result(WINAPI* name##Fn) params;
SEVENZIP_ENTRY_POINTS(SEVENZIP_DECLARE_TYPE)
#undef SEVENZIP_DECLARE_TYPE

class C7ZIP {
  public:
    C7ZIP();
    virtual ~C7ZIP();

    HMODULE module;
    bool available; // true only when the library loaded and all six were found
#define SEVENZIP_DECLARE_FIELD(result, name, params) name##Fn name;
    SEVENZIP_ENTRY_POINTS(SEVENZIP_DECLARE_FIELD)
#undef SEVENZIP_DECLARE_FIELD
};

// The one binding, built after the settings record.
extern C7ZIP g_7zip;
