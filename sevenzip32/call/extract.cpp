#include "sevenzip32/call/call.h"

#include <string.h>
#include <strsafe.h>
#include <wchar.h>

#include "sevenzip32/archive/legacy.h"
#include "sevenzip32/base/codepage.h"
#include "sevenzip32/base/trace.h"
#include "sevenzip32/host/hostwalk.h"
#include "sevenzip32/place/staging.h"

// The target folder of an extraction as a full Windows path.
static void TargetFolder(const SzCall* call, LPWSTR folder, int folderChars) {
    WCHAR given[SZ_PATH_BYTES];
    ZeroMemory(given, sizeof(given));
    ZeroMemory(folder, folderChars * sizeof(WCHAR));
    if (call->cmd.outDir[0] == '\0') {
        GetCurrentDirectoryW(folderChars, folder);
        return;
    }
    SzAnsiToWide(call->cmd.outDir, given, SZ_PATH_BYTES);
    GetFullPathNameW(given, folderChars, folder, NULL);
    size_t n = wcslen(folder);
    while (n > 3 && folder[n - 1] == L'\\') {
        folder[--n] = L'\0';
    }
}

// A path the engine or the host walk names inside the staging folder (its
// host path, its Windows path, or relative with '/' or '\\') as the same place
// under folder (the staging folder itself, or the destination), in full.
static void PlacedPath(const SzStage* stage, LPCSTR stageHost, LPCSTR named, LPCWSTR folder,
                       LPWSTR path) {
    char stageUtf8[SZ_STAGE_CHARS * 3];
    ZeroMemory(stageUtf8, sizeof(stageUtf8));
    SzWideToUtf8(stage->dir, stageUtf8, sizeof(stageUtf8));
    LPCSTR rel = named;
    const LPCSTR prefixes[] = {stageHost, stageUtf8};
    for (LPCSTR prefix : prefixes) {
        size_t n = strlen(prefix);
        if (n > 0 && strncmp(named, prefix, n) == 0 && (named[n] == '/' || named[n] == '\\')) {
            rel = named + n + 1;
        }
    }
    while (rel[0] == '.' && (rel[1] == '/' || rel[1] == '\\')) {
        rel += 2;
    }
    ZeroMemory(path, SZ_LONG_CHARS * sizeof(WCHAR));
    int at = static_cast<int>(wcslen(folder));
    StringCchPrintfW(path, SZ_LONG_CHARS, L"%s\\", folder);
    MultiByteToWideChar(CP_UTF8, 0, rel, -1, path + at + 1, SZ_LONG_CHARS - at - 2);
    for (LPWSTR p = path; *p != L'\0'; p++) {
        *p = *p == L'/' ? L'\\' : *p;
    }
}

// The engine's refused links are named, and the empty files it left in
// their place go: a link is delivered as a link or not at all.
static void RefuseEngineLinks(const SzStage* stage, LPCSTR stageHost, SzLinks* links,
                              SzConsole* refused) {
    LPWSTR path = static_cast<LPWSTR>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, SZ_LONG_CHARS * sizeof(WCHAR)));
    for (int list = 0; path != NULL && list < 2; list++) {
        const SzArgs* names = list == 0 ? &links->outside : &links->failed;
        for (int i = 0; i < names->count; i++) {
            PlacedPath(stage, stageHost, SzArgsAt(names, i), stage->dir, path);
            DWORD attributes = GetFileAttributesW(path);
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW(path);
            }
            PlacedPath(stage, stageHost, SzArgsAt(names, i), stage->dest, path);
            SzRefuse(refused, path, list == 0 ? SZ_REFUSED_OUTSIDE : SZ_REFUSED_NO_LINK);
        }
    }
    if (path != NULL) {
        HeapFree(GetProcessHeap(), 0, path);
    }
}

// Reads a host walk's report (see hostwalk.h): escaped legacy names take
// their decoded names inside the staging folder, links wait in
// links->pending under their placed names, refusals are named.
static void ApplyHostReport(const SzStage* stage, LPCSTR report, bool legacy, SzLinks* links,
                            SzConsole* refused) {
    LPWSTR path = static_cast<LPWSTR>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 2 * SZ_LONG_CHARS * sizeof(WCHAR)));
    char line[SZ_LONG_CHARS];
    for (LPCSTR p = report; path != NULL && *p != '\0';) {
        LPCSTR end = strchr(p, '\n');
        size_t length = end != NULL ? static_cast<size_t>(end - p) : strlen(p);
        ZeroMemory(line, sizeof(line));
        memcpy(line, p, length < sizeof(line) - 1 ? length : sizeof(line) - 1);
        p += length + (end != NULL ? 1 : 0);
        LPSTR fields[3] = {line, NULL, NULL};
        for (int f = 1; f < 3 && fields[f - 1] != NULL; f++) {
            fields[f] = strchr(fields[f - 1], '\t');
            if (fields[f] != NULL) {
                *fields[f]++ = '\0';
            }
        }
        if (fields[1] == NULL) {
            continue;
        }
        SzRefusal why = SZ_REFUSED_FAILED;
        if (line[0] == 'R') {
            PlacedPath(stage, "", fields[1], stage->dest, path);
            SzRefusalOfWord(fields[2] != NULL ? fields[2] : "", &why);
            SzRefuse(refused, path, why);
        } else if (line[0] == 'E' && legacy) {
            PlacedPath(stage, "", fields[1], stage->dir, path);
            LPWSTR decoded = path + SZ_LONG_CHARS;
            StringCchCopyW(decoded, SZ_LONG_CHARS, path);
            LPWSTR leaf = wcsrchr(decoded, L'\\') + 1;
            WCHAR placed[MAX_PATH];
            SzLegacyLeaf(wcsrchr(path, L'\\') + 1, true, placed);
            StringCchCopyW(leaf, SZ_LONG_CHARS - (leaf - decoded), placed);
            // Never over another entry: a name taken keeps its escape.
            MoveFileW(path, decoded);
        } else if (line[0] == 'L' && fields[2] != NULL) {
            // Each part as placing will name it.
            char placedPath[SZ_LONG_CHARS];
            ZeroMemory(placedPath, sizeof(placedPath));
            for (LPSTR part = fields[1]; part != NULL;) {
                LPSTR slash = strchr(part, '/');
                if (slash != NULL) {
                    *slash = '\0';
                }
                WCHAR wide[MAX_PATH];
                WCHAR placed[MAX_PATH];
                ZeroMemory(wide, sizeof(wide));
                SzUtf8ToWide(part, wide, MAX_PATH);
                SzLegacyLeaf(wide, legacy, placed);
                size_t used = strlen(placedPath);
                if (used > 0 && used + 1 < sizeof(placedPath)) {
                    placedPath[used++] = '/';
                }
                WideCharToMultiByte(CP_UTF8, 0, placed, -1, placedPath + used,
                                    static_cast<int>(sizeof(placedPath) - used - 1), NULL, NULL);
                part = slash != NULL ? slash + 1 : NULL;
            }
            SzArgsAdd(&links->pending, placedPath);
            SzArgsAdd(&links->pending, fields[2]);
        }
    }
    if (path != NULL) {
        HeapFree(GetProcessHeap(), 0, path);
    }
}

// Extraction into a staging folder of the destination; the destination
// changes only after the engine succeeded, and then one entry at a time.
// Under Wine the host walk first makes every staged name one Windows can
// hold and takes the links out; they are made last, inside the destination.
// A fresh staging folder for dest: its path for the engine (outDir) and for
// the watcher (stageHost). False, after telling the user, when none can be made.
static bool OpenStage(SzCall* call, LPCWSTR dest, SzStage* stage, LPSTR outDir, int outBytes,
                      LPSTR stageHost, int hostBytes) {
    ZeroMemory(stageHost, hostBytes);
    if (!SzStageOpen(stage, dest, call->engine.wine) ||
        !SzWideToAnsi(stage->dir, outDir, outBytes)) {
        SzStageClose(stage);
        SzWideToUtf8(dest, stageHost, hostBytes);
        SzReportFailure(call, SZ_TEXT_NO_STAGE, stageHost);
        return false;
    }
    SzStageHostPath(call, stage->dir, stageHost, hostBytes);
    return true;
}

int SzExtract(SzCall* call) {
    WCHAR dest[SZ_STAGE_CHARS];
    TargetFolder(call, dest, SZ_STAGE_CHARS);
    SzStage stage;
    char outDir[SZ_PATH_BYTES];
    char stageHost[SZ_STAGE_CHARS * 3];
    bool host = call->engine.wine;
    if (!OpenStage(call, dest, &stage, outDir, sizeof(outDir), stageHost, sizeof(stageHost))) {
        return SEVENZIP_ERROR_FATAL;
    }
    SzLinks links;
    SzArgsInit(&links.outside);
    SzArgsInit(&links.failed);
    SzArgsInit(&links.pending);
    SzConsole refused;
    SzConsoleInit(&refused);
    int result = SzRunCommand(call, call->cmd.archive, outDir, stageHost, &links);
    if (result == SZ_NEEDS_PASSWORD) {
        // What the engine wrote before it met encrypted data goes with its
        // staging folder; the next attempt starts from a fresh one.
        SzStageClose(&stage);
        result = SzAskArchivePassword(call);
        if (result == SEVENZIP_OK) {
            result =
                OpenStage(call, dest, &stage, outDir, sizeof(outDir), stageHost, sizeof(stageHost))
                    ? SzRunCommand(call, call->cmd.archive, outDir, stageHost, &links)
                    : SEVENZIP_ERROR_FATAL;
        }
    }
    if (result == SEVENZIP_OK) {
        // Here the engine has succeeded into stage.dir and nothing is placed yet.
        RefuseEngineLinks(&stage, stageHost, &links, &refused);
        SzConsole report;
        SzConsoleInitRaw(&report);
        if (host && !SzTidyHostTree(&call->folder, stage.dir, &report)) {
            SzReportFailure(call, SZ_TEXT_NO_HOST_WALK, stageHost);
            result = SEVENZIP_ERROR_FATAL;
        } else if (host) {
            ApplyHostReport(&stage, SzConsoleText(&report), call->cmd.legacyNames, &links,
                            &refused);
        }
        SzConsoleFree(&report);
    }
    if (result == SEVENZIP_OK) {
        WCHAR archive[SZ_PATH_BYTES];
        ZeroMemory(archive, sizeof(archive));
        SzAnsiToWide(call->cmd.archive, archive, SZ_PATH_BYTES);
        result = SzStageCommit(&stage, call->cmd.overwrite, call->owner, archive, &refused);
        SzTrace("placed");
        if (result != SEVENZIP_ERROR_CANCELLED && links.pending.count > 0) {
            SzConsole report;
            SzConsoleInitRaw(&report);
            SzOverwriteMode mode = call->cmd.overwrite;
            LPCSTR existing = mode == SZ_OVERWRITE_ALL    ? "replace"
                              : mode == SZ_OVERWRITE_SKIP ? "skip"
                                                          : "keep";
            if (!SzMakeHostLinks(&call->folder, stage.dest, existing, &links.pending, &report)) {
                SzReportFailure(call, SZ_TEXT_NO_HOST_WALK, stageHost);
            }
            ApplyHostReport(&stage, SzConsoleText(&report), false, &links, &refused);
            SzConsoleFree(&report);
            SzTrace("links made");
        }
        for (int i = 0; result != SEVENZIP_ERROR_CANCELLED && i < call->climbing.count; i++) {
            // A legacy name is shown as it is placed, not as its stored bytes.
            LPCSTR stored = SzArgsAt(&call->climbing, i);
            LPSTR decoded =
                call->cmd.legacyNames ? SzDecodeLegacyText(call->cmd.archive, stored) : NULL;
            WCHAR name[MAX_PATH * 2];
            SzUtf8ToWide(decoded != NULL ? decoded : stored, name, MAX_PATH * 2);
            if (decoded != NULL) {
                HeapFree(GetProcessHeap(), 0, decoded);
            }
            for (LPWSTR p = name; *p != L'\0'; p++) {
                *p = *p == L'/' ? L'\\' : *p;
            }
            SzRefuse(&refused, name, SZ_REFUSED_CLIMBED);
        }
        if (result == SEVENZIP_OK && refused.used > 0) {
            result = SEVENZIP_ERROR_WARNING;
        }
        if (result == SEVENZIP_ERROR_WARNING) {
            SzReportFailure(call, SZ_TEXT_NOT_PLACED, SzConsoleText(&refused));
        }
    }
    SzConsoleFree(&refused);
    SzArgsFree(&links.outside);
    SzArgsFree(&links.failed);
    SzArgsFree(&links.pending);
    SzStageClose(&stage);
    SzTrace("staging removed");
    return result;
}
