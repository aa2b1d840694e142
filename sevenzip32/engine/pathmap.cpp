#include "sevenzip32/engine/pathmap.h"

#include <string.h>
#include <wchar.h>

#include "sevenzip32/base/codepage.h"
#include "sevenzip32/base/wine.h"

bool SzIsAbsoluteName(LPCSTR name) {
    bool drive = ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z') && name[1] == ':' &&
                 (name[2] == '\\' || name[2] == '/');
    return drive || name[0] == '\\' || name[0] == '/';
}

bool SzRelativeToHost(LPCSTR name, LPSTR hostName, int hostBytes) {
    WCHAR wide[MAX_PATH * 4];
    ZeroMemory(wide, sizeof(wide));
    // In UTF-16 a backslash is always a separator, never half a character.
    if (!SzAnsiToWide(name, wide, MAX_PATH * 4)) {
        return false;
    }
    for (WCHAR* p = wide; *p != L'\0'; p++) {
        if (*p == L'\\') {
            *p = L'/';
        }
    }
    return SzWideToUtf8(wide, hostName, hostBytes);
}

// Maps the folder part through Wine and appends the last part itself, so a
// name that does not exist yet (a new archive, a wildcard) still maps.
static bool MapThroughWine(LPWSTR full, LPSTR hostName, int hostBytes) {
    size_t length = wcslen(full);
    while (length > 3 && (full[length - 1] == L'\\' || full[length - 1] == L'/')) {
        full[--length] = L'\0';
    }
    if (SzWineHostPath(full, hostName, hostBytes)) {
        return true;
    }
    WCHAR* slash = wcsrchr(full, L'\\');
    if (slash == NULL) {
        return false;
    }
    char leaf[MAX_PATH * 4];
    ZeroMemory(leaf, sizeof(leaf));
    if (!SzWideToUtf8(slash + 1, leaf, sizeof(leaf))) {
        return false;
    }
    WCHAR keep = slash[1];
    slash[1] = L'\0';
    bool ok = SzWineHostPath(full, hostName, hostBytes);
    slash[1] = keep;
    if (!ok) {
        return false;
    }
    size_t used = strlen(hostName);
    bool needSlash = used == 0 || hostName[used - 1] != '/';
    if (used + (needSlash ? 1 : 0) + strlen(leaf) + 1 > static_cast<size_t>(hostBytes)) {
        return false;
    }
    if (needSlash) {
        hostName[used++] = '/';
    }
    memcpy(hostName + used, leaf, strlen(leaf) + 1);
    return true;
}

bool SzMapName(const SzEngineInfo* engine, LPCSTR name, bool absolute, LPSTR hostName,
               int hostBytes) {
    if (!absolute && !SzIsAbsoluteName(name)) {
        return SzRelativeToHost(name, hostName, hostBytes);
    }
    WCHAR wide[MAX_PATH * 4];
    WCHAR full[MAX_PATH * 4];
    ZeroMemory(wide, sizeof(wide));
    ZeroMemory(full, sizeof(full));
    if (!SzAnsiToWide(name, wide, MAX_PATH * 4)) {
        return false;
    }
    DWORD length = GetFullPathNameW(wide, MAX_PATH * 4, full, NULL);
    if (length == 0 || length >= MAX_PATH * 4) {
        return false;
    }
    if (engine->wine) {
        return MapThroughWine(full, hostName, hostBytes);
    }
    return SzWideToUtf8(full, hostName, hostBytes);
}
