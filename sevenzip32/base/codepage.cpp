#include "sevenzip32/base/codepage.h"

bool SzAnsiToWide(LPCSTR ansi, LPWSTR wide, int wideChars) {
    ZeroMemory(wide, wideChars * sizeof(WCHAR));
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, -1, wide, wideChars - 1) > 0;
}

bool SzWideToAnsi(LPCWSTR wide, LPSTR ansi, int ansiBytes) {
    ZeroMemory(ansi, ansiBytes);
    BOOL lossy = FALSE;
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, ansiBytes - 1, NULL, &lossy) > 0 &&
           !lossy;
}

bool SzUtf8ToWide(LPCSTR utf8, LPWSTR wide, int wideChars) {
    ZeroMemory(wide, wideChars * sizeof(WCHAR));
    return MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, wideChars - 1) > 0;
}

bool SzWideToUtf8(LPCWSTR wide, LPSTR utf8, int utf8Bytes) {
    ZeroMemory(utf8, utf8Bytes);
    return WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, utf8Bytes - 1, NULL, NULL) > 0;
}

bool SzAnsiToUtf8(LPCSTR ansi, LPSTR utf8, int utf8Bytes) {
    ZeroMemory(utf8, utf8Bytes);
    int chars = MultiByteToWideChar(CP_ACP, 0, ansi, -1, NULL, 0);
    LPWSTR wide = chars > 0 ? static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                            chars * sizeof(WCHAR)))
                            : NULL;
    bool ok = wide != NULL && MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, chars) > 0 &&
              SzWideToUtf8(wide, utf8, utf8Bytes);
    if (wide != NULL) {
        HeapFree(GetProcessHeap(), 0, wide);
    }
    return ok;
}

LPSTR SzWideToUtf8Alloc(LPCWSTR wide) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, NULL, 0, NULL, NULL);
    LPSTR utf8 =
        bytes > 0 ? static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes)) : NULL;
    if (utf8 != NULL) {
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, bytes, NULL, NULL);
    }
    return utf8;
}
