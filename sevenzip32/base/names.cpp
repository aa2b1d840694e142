#include "sevenzip32/base/names.h"

#include <string.h>
#include <strsafe.h>
#include <wchar.h>

static bool IsDeviceName(LPCWSTR leaf) {
    // The stem before the first dot decides, in any case.
    WCHAR stem[16];
    ZeroMemory(stem, sizeof(stem));
    size_t n = 0;
    while (leaf[n] != L'\0' && leaf[n] != L'.' && n < 15) {
        stem[n] = leaf[n] >= L'a' && leaf[n] <= L'z' ? leaf[n] - 32 : leaf[n];
        n++;
    }
    if (leaf[n] != L'\0' && leaf[n] != L'.') {
        return false;
    }
    char narrow[16];
    ZeroMemory(narrow, sizeof(narrow));
    for (size_t i = 0; i < n; i++) {
        if (stem[i] > 0x7F) {
            return false;
        }
        narrow[i] = static_cast<char>(stem[i]);
    }
    for (LPCSTR p = SZ_DEVICE_NAMES; *p != '\0';) {
        LPCSTR comma = strchr(p, ',');
        size_t length = comma != NULL ? static_cast<size_t>(comma - p) : strlen(p);
        if (length == n && strncmp(p, narrow, n) == 0) {
            return true;
        }
        p += length + (comma != NULL ? 1 : 0);
    }
    return false;
}

bool SzLeafIsSafe(LPCWSTR leaf) {
    size_t n = wcslen(leaf);
    if (n == 0 || n >= MAX_PATH || wcscmp(leaf, L".") == 0 || wcscmp(leaf, L"..") == 0 ||
        leaf[n - 1] == L'.' || leaf[n - 1] == L' ') {
        return false;
    }
    for (LPCWSTR p = leaf; *p != L'\0'; p++) {
        if (*p < 0x20 || (*p < 0x80 && strchr(SZ_FORBIDDEN_CHARS, static_cast<char>(*p)) != NULL)) {
            return false;
        }
    }
    return !IsDeviceName(leaf);
}

bool SzNameClimbs(LPCSTR name, size_t length) {
    if (length > 0 && (name[0] == '/' || name[0] == '\\')) {
        return true;
    }
    if (length > 1 && name[1] == ':' && ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z')) {
        return true;
    }
    for (size_t start = 0; start < length;) {
        size_t end = start;
        while (end < length && name[end] != '/' && name[end] != '\\') {
            end++;
        }
        if (end - start == 2 && name[start] == '.' && name[start + 1] == '.') {
            return true;
        }
        start = end + 1;
    }
    return false;
}
