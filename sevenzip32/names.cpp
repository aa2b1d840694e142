#include "sevenzip32/names.h"

#include <string.h>
#include <strsafe.h>
#include <wchar.h>

#include "sevenzip32/legacy.h"

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

static int HexDigit(WCHAR c) {
    return c >= L'0' && c <= L'9' ? c - L'0' : c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
}

void SzPlacedLeaf(LPCWSTR leaf, bool legacy, LPWSTR out) {
    ZeroMemory(out, MAX_PATH * sizeof(WCHAR));
    StringCchCopyW(out, MAX_PATH, leaf);
    if (!legacy || wcschr(leaf, L'%') == NULL) {
        return;
    }
    // The host walk wrote each byte Windows cannot hold as %XX and kept the
    // rest as UTF-8: back to the stored bytes, then read as code page 932.
    BYTE raw[MAX_PATH * 3];
    int used = 0;
    for (LPCWSTR p = leaf; *p != L'\0' && used + 4 < static_cast<int>(sizeof(raw));) {
        int high = p[0] == L'%' ? HexDigit(p[1]) : -1;
        int low = high >= 0 ? HexDigit(p[2]) : -1;
        if (low >= 0) {
            raw[used++] = static_cast<BYTE>(high * 16 + low);
            p += 3;
            continue;
        }
        used += WideCharToMultiByte(CP_UTF8, 0, p, 1, reinterpret_cast<LPSTR>(raw + used),
                                    static_cast<int>(sizeof(raw)) - used, NULL, NULL);
        p++;
    }
    // Bytes that are UTF-8 were escaped only for a character Windows forbids:
    // they are no legacy name.
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<LPCSTR>(raw), used,
                            NULL, 0) > 0) {
        return;
    }
    char utf8[MAX_PATH * 3];
    WCHAR decoded[MAX_PATH];
    ZeroMemory(decoded, sizeof(decoded));
    SzDecodeLegacyName(raw, used, utf8, sizeof(utf8));
    if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, decoded, MAX_PATH - 1) > 0 &&
        SzLeafIsSafe(decoded)) {
        StringCchCopyW(out, MAX_PATH, decoded);
    }
}
