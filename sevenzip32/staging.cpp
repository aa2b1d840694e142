#include "sevenzip32/staging.h"

#include <string.h>
#include <strsafe.h>
#include <wchar.h>

#include "sevenzip32/overwrite.h"
#include "sevenzip32/result.h"

static void Join(LPWSTR out, LPCWSTR folder, LPCWSTR leaf) {
    ZeroMemory(out, SZ_STAGE_CHARS * sizeof(WCHAR));
    StringCchPrintfW(out, SZ_STAGE_CHARS, L"%s\\%s", folder, leaf);
}

static bool IsDots(LPCWSTR name) {
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

void SzRemoveTree(LPCWSTR dir) {
    WCHAR pattern[SZ_STAGE_CHARS];
    Join(pattern, dir, L"*");
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
        if (IsDots(data.cFileName)) {
            continue;
        }
        WCHAR child[SZ_STAGE_CHARS];
        Join(child, dir, data.cFileName);
        SetFileAttributesW(child, FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            SzRemoveTree(child);
        } else {
            DeleteFileW(child);
        }
    }
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
    }
    RemoveDirectoryW(dir);
}

bool SzStageOpen(SzStage* stage, LPCWSTR dest) {
    static LONG counter = 0;
    ZeroMemory(stage, sizeof(*stage));
    StringCchCopyW(stage->dest, SZ_STAGE_CHARS, dest);
    DWORD attributes = GetFileAttributesW(dest);
    WCHAR parent[SZ_STAGE_CHARS];
    ZeroMemory(parent, sizeof(parent));
    StringCchCopyW(parent, SZ_STAGE_CHARS, dest);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A new destination is staged beside it and becomes it in one rename.
        LPWSTR slash = wcsrchr(parent, L'\\');
        if (slash == NULL) {
            return false;
        }
        slash[slash - parent > 2 ? 0 : 1] = L'\0';
        stage->whole = true;
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    for (int attempt = 0; attempt < 8 && !stage->made; attempt++) {
        WCHAR leaf[64];
        ZeroMemory(leaf, sizeof(leaf));
        StringCchPrintfW(leaf, 64, L"~7-zip32-%lu-%ld.tmp", GetCurrentProcessId(),
                         InterlockedIncrement(&counter));
        Join(stage->dir, parent, leaf);
        stage->made = CreateDirectoryW(stage->dir, NULL) != FALSE;
    }
    return stage->made;
}

void SzStageClose(SzStage* stage) {
    if (stage->made) {
        SzRemoveTree(stage->dir);
        stage->made = false;
    }
}

struct Placing {
    SzOverwriteMode mode;
    HWND owner;
    LPCWSTR archive;
    SzConsole* refused;
    bool cancelled;
    bool anyRefused;
};

static void Refuse(Placing* placing, LPCWSTR target) {
    char name[SZ_STAGE_CHARS * 3];
    ZeroMemory(name, sizeof(name));
    WideCharToMultiByte(CP_UTF8, 0, target, -1, name, sizeof(name) - 1, NULL, NULL);
    SzConsoleFeed(placing->refused, name, strlen(name));
    SzConsoleFeed(placing->refused, "\n", 1);
    placing->anyRefused = true;
}

// "name_1.ext", "name_2.ext", … beside path: the first that does not exist.
static bool FreeName(LPCWSTR path, LPWSTR free) {
    LPCWSTR slash = wcsrchr(path, L'\\');
    LPCWSTR dot = wcsrchr(path, L'.');
    size_t stem = dot != NULL && dot > slash ? static_cast<size_t>(dot - path) : wcslen(path);
    for (int n = 1; n < 10000; n++) {
        ZeroMemory(free, SZ_STAGE_CHARS * sizeof(WCHAR));
        StringCchPrintfW(free, SZ_STAGE_CHARS, L"%.*s_%d%s", static_cast<int>(stem), path, n,
                         path + stem);
        if (GetFileAttributesW(free) == INVALID_FILE_ATTRIBUTES) {
            return true;
        }
    }
    return false;
}

// Nobody else holds the file and it may be written: only then is it replaced,
// so that a file in use is reported instead of being half-replaced.
static bool Replaceable(LPCWSTR target) {
    DWORD attributes = GetFileAttributesW(target);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    HANDLE file = CreateFileW(target, GENERIC_WRITE | DELETE, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

static bool SamePath(LPCWSTR a, LPCWSTR b) {
    WCHAR fullA[SZ_STAGE_CHARS];
    WCHAR fullB[SZ_STAGE_CHARS];
    ZeroMemory(fullA, sizeof(fullA));
    ZeroMemory(fullB, sizeof(fullB));
    GetFullPathNameW(a, SZ_STAGE_CHARS, fullA, NULL);
    GetFullPathNameW(b, SZ_STAGE_CHARS, fullB, NULL);
    return lstrcmpiW(fullA, fullB) == 0;
}

// The existing file at target meets the staged one at source.
static void PlaceOver(Placing* placing, LPCWSTR source, LPCWSTR target) {
    if (placing->archive != NULL && SamePath(target, placing->archive)) {
        Refuse(placing, target);
        return;
    }
    SzOverwriteMode mode = placing->mode;
    if (mode == SZ_OVERWRITE_ASK) {
        SzOverwriteAnswer answer = SzAskOverwrite(placing->owner, target, source);
        placing->cancelled = answer == SZ_ANSWER_CANCEL;
        placing->mode = answer == SZ_ANSWER_YES_ALL  ? SZ_OVERWRITE_ALL
                        : answer == SZ_ANSWER_NO_ALL ? SZ_OVERWRITE_SKIP
                                                     : SZ_OVERWRITE_ASK;
        mode = answer == SZ_ANSWER_YES || answer == SZ_ANSWER_YES_ALL ? SZ_OVERWRITE_ALL
                                                                      : SZ_OVERWRITE_SKIP;
    }
    WCHAR other[SZ_STAGE_CHARS];
    bool ok = true;
    switch (mode) {
    case SZ_OVERWRITE_ALL:
        ok = Replaceable(target) && MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING);
        break;
    case SZ_OVERWRITE_RENAME_NEW: ok = FreeName(target, other) && MoveFileW(source, other); break;
    case SZ_OVERWRITE_RENAME_OLD:
        ok = Replaceable(target) && FreeName(target, other) && MoveFileW(target, other) &&
             MoveFileW(source, target);
        break;
    default: break;
    }
    if (!ok) {
        Refuse(placing, target);
    }
}

// Moves everything under staged into the same place under dest.
static void PlaceTree(Placing* placing, LPCWSTR staged, LPCWSTR dest) {
    WCHAR pattern[SZ_STAGE_CHARS];
    Join(pattern, staged, L"*");
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more && !placing->cancelled;
         more = FindNextFileW(find, &data)) {
        if (IsDots(data.cFileName)) {
            continue;
        }
        WCHAR source[SZ_STAGE_CHARS];
        WCHAR target[SZ_STAGE_CHARS];
        Join(source, staged, data.cFileName);
        Join(target, dest, data.cFileName);
        DWORD existing = GetFileAttributesW(target);
        bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bool existingFolder =
            existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY);
        if (existing == INVALID_FILE_ATTRIBUTES) {
            // A new name, file or whole folder: one rename.
            if (!MoveFileW(source, target)) {
                Refuse(placing, target);
            }
        } else if (folder && existingFolder) {
            PlaceTree(placing, source, target);
        } else if (folder || existingFolder) {
            Refuse(placing, target);
        } else {
            PlaceOver(placing, source, target);
        }
    }
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
    }
}

int SzStageCommit(SzStage* stage, SzOverwriteMode mode, HWND owner, LPCWSTR archive,
                  SzConsole* refused) {
    if (stage->whole && GetFileAttributesW(stage->dest) == INVALID_FILE_ATTRIBUTES) {
        // Nothing can meet an existing file, and one rename places everything.
        stage->made = !MoveFileW(stage->dir, stage->dest);
        if (!stage->made) {
            return SZ_OK;
        }
    }
    Placing placing = {mode, owner, archive, refused, false, false};
    PlaceTree(&placing, stage->dir, stage->dest);
    if (placing.cancelled) {
        return SZ_ERROR_CANCELLED;
    }
    return placing.anyRefused ? SZ_ERROR_WARNING : SZ_OK;
}
