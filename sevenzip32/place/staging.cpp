#include "sevenzip32/place/staging.h"

#include <ntsecapi.h>
#include <string.h>
#include <strsafe.h>
#include <wchar.h>

#include "sevenzip32/host/hostwalk.h"
#include "sevenzip32/base/codepage.h"
#include "sevenzip32/base/names.h"
#include "sevenzip32/dialogs/overwrite.h"
#include "sevenzip32/engine/result.h"
#include "sevenzip32/base/texts.h"

// One path that a walk extends by a part on the way down and cuts back on the
// way up, in the "\\?\" form that no length limit or name parsing applies to.
struct LongPath {
    LPWSTR text;
    size_t length;
};

static bool OpenLongPath(LongPath* path, LPCWSTR full) {
    path->text = static_cast<LPWSTR>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, SZ_LONG_CHARS * sizeof(WCHAR)));
    if (path->text == NULL) {
        return false;
    }
    if (wcsncmp(full, L"\\\\?\\", 4) == 0) {
        StringCchCopyW(path->text, SZ_LONG_CHARS, full);
    } else if (full[0] == L'\\' && full[1] == L'\\') {
        StringCchPrintfW(path->text, SZ_LONG_CHARS, L"\\\\?\\UNC\\%s", full + 2);
    } else {
        StringCchPrintfW(path->text, SZ_LONG_CHARS, L"\\\\?\\%s", full);
    }
    path->length = wcslen(path->text);
    return true;
}

static void CloseLongPath(LongPath* path) {
    if (path->text != NULL) {
        HeapFree(GetProcessHeap(), 0, path->text);
    }
    path->text = NULL;
}

// Appends "\leaf"; the length before, for Cut. False when it does not fit.
static bool Push(LongPath* path, LPCWSTR leaf, size_t* before) {
    *before = path->length;
    size_t leafLength = wcslen(leaf);
    if (path->length + 1 + leafLength + 1 > SZ_LONG_CHARS) {
        return false;
    }
    path->text[path->length] = L'\\';
    memcpy(path->text + path->length + 1, leaf, (leafLength + 1) * sizeof(WCHAR));
    path->length += 1 + leafLength;
    return true;
}

static void Cut(LongPath* path, size_t length) {
    path->length = length;
    path->text[length] = L'\0';
}

// The path as its reader knows it, without the long form's prefix.
static LPCWSTR Shown(LPCWSTR path) {
    return wcsncmp(path, L"\\\\?\\", 4) == 0 ? path + 4 : path;
}

static bool IsDots(LPCWSTR name) {
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

static const struct {
    SzRefusal why;
    LPCSTR word; // as the host walk says it
    LPCSTR text; // code page 932
} kRefusals[] = {
    {SZ_REFUSED_IN_USE, "", SZ_TEXT_REFUSED_IN_USE},
    {SZ_REFUSED_READ_ONLY, "", SZ_TEXT_REFUSED_READ_ONLY},
    {SZ_REFUSED_CLASH, "", SZ_TEXT_REFUSED_CLASH},
    {SZ_REFUSED_ARCHIVE, "", SZ_TEXT_REFUSED_ARCHIVE},
    {SZ_REFUSED_NAME, "name", SZ_TEXT_REFUSED_NAME},
    {SZ_REFUSED_OUTSIDE, "outside", SZ_TEXT_REFUSED_OUTSIDE},
    {SZ_REFUSED_LINK, "link", SZ_TEXT_REFUSED_LINK},
    {SZ_REFUSED_NO_LINK, "", SZ_TEXT_REFUSED_NO_LINK},
    {SZ_REFUSED_EXISTS, "exists", SZ_TEXT_REFUSED_EXISTS},
    {SZ_REFUSED_SPECIAL, "special", SZ_TEXT_REFUSED_SPECIAL},
    {SZ_REFUSED_FAILED, "failed", SZ_TEXT_REFUSED_FAILED},
    {SZ_REFUSED_CLIMBED, "", SZ_TEXT_REFUSED_CLIMBED},
};

bool SzRefusalOfWord(LPCSTR word, SzRefusal* why) {
    for (size_t i = 0; i < sizeof(kRefusals) / sizeof(kRefusals[0]); i++) {
        if (kRefusals[i].word[0] != '\0' && strcmp(kRefusals[i].word, word) == 0) {
            *why = kRefusals[i].why;
            return true;
        }
    }
    return false;
}

void SzRefuse(SzConsole* list, LPCWSTR path, SzRefusal why) {
    WCHAR reason[128];
    ZeroMemory(reason, sizeof(reason));
    for (size_t i = 0; i < sizeof(kRefusals) / sizeof(kRefusals[0]); i++) {
        if (kRefusals[i].why == why) {
            MultiByteToWideChar(932, 0, kRefusals[i].text, -1, reason, 127);
        }
    }
    LPCWSTR parts[] = {Shown(path), L" (", reason, L")\n"};
    for (size_t i = 0; i < sizeof(parts) / sizeof(parts[0]); i++) {
        LPSTR utf8 = SzWideToUtf8Alloc(parts[i]);
        if (utf8 != NULL) {
            SzConsoleFeed(list, utf8, strlen(utf8));
            HeapFree(GetProcessHeap(), 0, utf8);
        }
    }
}

static void RemoveWithin(LongPath* dir) {
    size_t before = dir->length;
    WIN32_FIND_DATAW data;
    HANDLE find =
        Push(dir, L"*", &before) ? FindFirstFileW(dir->text, &data) : INVALID_HANDLE_VALUE;
    Cut(dir, before);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
        size_t at = 0;
        if (IsDots(data.cFileName) || !Push(dir, data.cFileName, &at)) {
            Cut(dir, before);
            continue;
        }
        SetFileAttributesW(dir->text, FILE_ATTRIBUTE_NORMAL);
        bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A link goes, never what it leads to.
        if (folder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveWithin(dir);
        } else if (!folder) {
            DeleteFileW(dir->text);
        }
        if (folder) {
            RemoveDirectoryW(dir->text);
        }
        Cut(dir, at);
    }
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
    }
}

void SzRemoveTree(LPCWSTR dir) {
    LongPath path;
    if (OpenLongPath(&path, dir)) {
        RemoveWithin(&path);
        RemoveDirectoryW(path.text);
        CloseLongPath(&path);
    }
}

bool SzStageOpen(SzStage* stage, LPCWSTR dest, bool host) {
    ZeroMemory(stage, sizeof(*stage));
    stage->host = host;
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
    // No archive can know the name, so no entry can land on the folder itself.
    for (int attempt = 0; attempt < 8 && !stage->made; attempt++) {
        ULONG random[2] = {GetTickCount(), GetCurrentProcessId()};
        RtlGenRandom(random, sizeof(random));
        StringCchPrintfW(stage->dir, SZ_STAGE_CHARS, L"%s%s~7-zip32-%08lx%08lx.tmp", parent,
                         parent[wcslen(parent) - 1] == L'\\' ? L"" : L"\\", random[0], random[1]);
        stage->made = CreateDirectoryW(stage->dir, NULL) != FALSE;
    }
    return stage->made;
}

void SzStageClose(SzStage* stage) {
    // Placed whole or emptied by placing, it goes in one call; only what is
    // left in it needs the walk (on the host: names Wine cannot see).
    if (stage->made && !RemoveDirectoryW(stage->dir)) {
        if (stage->host) {
            SzRemoveHostTree(stage->dir);
        } else {
            SzRemoveTree(stage->dir);
        }
    }
    stage->made = false;
}

// A file as the system knows it, whatever the spelling of its path.
struct FileId {
    bool valid;
    DWORD volume;
    DWORD high;
    DWORD low;
};

static FileId IdOf(LPCWSTR path) {
    FileId id;
    ZeroMemory(&id, sizeof(id));
    HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    BY_HANDLE_FILE_INFORMATION info;
    if (file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info)) {
        id.valid = true;
        id.volume = info.dwVolumeSerialNumber;
        id.high = info.nFileIndexHigh;
        id.low = info.nFileIndexLow;
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return id;
}

struct Placing {
    SzOverwriteMode mode;
    HWND owner;
    FileId archive;
    LPCWSTR stageDir;
    SzConsole* refused;
    bool cancelled;
    bool anyRefused;
    LongPath source;
    LongPath target;
};

static void Refuse(Placing* placing, SzRefusal why) {
    SzRefuse(placing->refused, placing->target.text, why);
    placing->anyRefused = true;
}

// "name_1.ext", "name_2.ext", … beside path: the first that does not exist.
static bool FreeName(LPCWSTR path, LPWSTR free) {
    LPCWSTR slash = wcsrchr(path, L'\\');
    LPCWSTR dot = wcsrchr(path, L'.');
    size_t stem = dot != NULL && dot > slash ? static_cast<size_t>(dot - path) : wcslen(path);
    for (int n = 1; n < 10000; n++) {
        StringCchPrintfW(free, SZ_LONG_CHARS, L"%.*s_%d%s", static_cast<int>(stem), path, n,
                         path + stem);
        if (GetFileAttributesW(free) == INVALID_FILE_ATTRIBUTES) {
            return true;
        }
    }
    return false;
}

// Nobody else holds the file and it may be written: only then is it replaced,
// so that a file in use is reported instead of being half-replaced.
static bool Replaceable(LPCWSTR target, SzRefusal* why) {
    *why = SZ_REFUSED_READ_ONLY;
    DWORD attributes = GetFileAttributesW(target);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    HANDLE file = CreateFileW(target, GENERIC_WRITE | DELETE, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *why = GetLastError() == ERROR_SHARING_VIOLATION ? SZ_REFUSED_IN_USE : SZ_REFUSED_READ_ONLY;
        return false;
    }
    CloseHandle(file);
    return true;
}

// The existing file at target meets the staged one at source.
static void PlaceOver(Placing* placing) {
    LPCWSTR source = placing->source.text;
    LPCWSTR target = placing->target.text;
    FileId existing = IdOf(target);
    if (placing->archive.valid && existing.valid && existing.volume == placing->archive.volume &&
        existing.high == placing->archive.high && existing.low == placing->archive.low) {
        Refuse(placing, SZ_REFUSED_ARCHIVE);
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
    if (mode == SZ_OVERWRITE_SKIP) {
        return;
    }
    SzRefusal why = SZ_REFUSED_FAILED;
    bool replace = mode == SZ_OVERWRITE_ALL || mode == SZ_OVERWRITE_RENAME_OLD;
    if (replace && !Replaceable(target, &why)) {
        Refuse(placing, why);
        return;
    }
    LPWSTR other = static_cast<LPWSTR>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, SZ_LONG_CHARS * sizeof(WCHAR)));
    bool ok = other != NULL;
    if (mode == SZ_OVERWRITE_ALL) {
        ok = MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING) != FALSE;
    } else if (mode == SZ_OVERWRITE_RENAME_NEW) {
        ok = ok && FreeName(target, other) && MoveFileW(source, other);
    } else {
        ok = ok && FreeName(target, other) && MoveFileW(target, other) && MoveFileW(source, target);
    }
    if (other != NULL) {
        HeapFree(GetProcessHeap(), 0, other);
    }
    if (!ok) {
        Refuse(placing, SZ_REFUSED_FAILED);
    }
}

// One staged entry (placing's source) meets its place (placing's target).
static void PlaceEntry(Placing* placing, DWORD sourceAttributes);

// Moves everything under placing's source folder to the same place under its target.
static void PlaceTree(Placing* placing) {
    size_t sourceBefore = placing->source.length;
    size_t targetBefore = placing->target.length;
    size_t at = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = Push(&placing->source, L"*", &at) ? FindFirstFileW(placing->source.text, &data)
                                                    : INVALID_HANDLE_VALUE;
    Cut(&placing->source, sourceBefore);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more && !placing->cancelled;
         more = FindNextFileW(find, &data)) {
        if (IsDots(data.cFileName)) {
            continue;
        }
        bool fits = Push(&placing->source, data.cFileName, &at) &&
                    Push(&placing->target, data.cFileName, &at);
        if (!fits || !SzLeafIsSafe(data.cFileName) ||
            lstrcmpiW(Shown(placing->target.text), placing->stageDir) == 0) {
            Refuse(placing, SZ_REFUSED_NAME);
        } else {
            PlaceEntry(placing, data.dwFileAttributes);
        }
        Cut(&placing->source, sourceBefore);
        Cut(&placing->target, targetBefore);
    }
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
    }
}

static void PlaceEntry(Placing* placing, DWORD sourceAttributes) {
    DWORD existing = GetFileAttributesW(placing->target.text);
    bool folder = (sourceAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    bool link = (sourceAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (existing == INVALID_FILE_ATTRIBUTES) {
        // A new name, file, link or whole folder: one rename.
        if (!MoveFileW(placing->source.text, placing->target.text)) {
            Refuse(placing, SZ_REFUSED_FAILED);
        }
        return;
    }
    bool existingFolder = (existing & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Nothing is written through a link, nor does a link replace anything.
    if (link || (existing & FILE_ATTRIBUTE_REPARSE_POINT)) {
        Refuse(placing, link ? SZ_REFUSED_EXISTS : SZ_REFUSED_LINK);
    } else if (folder && existingFolder) {
        PlaceTree(placing);
    } else if (folder || existingFolder) {
        Refuse(placing, SZ_REFUSED_CLASH);
    } else {
        PlaceOver(placing);
    }
}

int SzStageCommit(SzStage* stage, SzOverwriteMode mode, HWND owner, LPCWSTR archive,
                  SzConsole* refused) {
    if (stage->whole && GetFileAttributesW(stage->dest) == INVALID_FILE_ATTRIBUTES) {
        // Nothing can meet an existing file, and one rename places everything.
        stage->made = !MoveFileW(stage->dir, stage->dest);
        if (!stage->made) {
            return SEVENZIP_OK;
        }
    }
    Placing placing;
    ZeroMemory(&placing, sizeof(placing));
    placing.mode = mode;
    placing.owner = owner;
    placing.archive = archive != NULL ? IdOf(archive) : FileId();
    placing.stageDir = stage->dir;
    placing.refused = refused;
    if (!OpenLongPath(&placing.source, stage->dir) || !OpenLongPath(&placing.target, stage->dest)) {
        CloseLongPath(&placing.source);
        return SEVENZIP_ERROR_MEMORY;
    }
    PlaceTree(&placing);
    CloseLongPath(&placing.source);
    CloseLongPath(&placing.target);
    if (placing.cancelled) {
        return SEVENZIP_ERROR_CANCELLED;
    }
    return placing.anyRefused ? SEVENZIP_ERROR_WARNING : SEVENZIP_OK;
}
