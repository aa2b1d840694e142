#include "sevenzip32/call/operation.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/call/cmdline.h"
#include "sevenzip32/engine/console.h"
#include "sevenzip32/engine/engine.h"
#include "sevenzip32/engine/locate.h"
#include "sevenzip32/host/hostwalk.h"
#include "sevenzip32/archive/legacy.h"
#include "sevenzip32/engine/messages.h"
#include "sevenzip32/base/names.h"
#include "sevenzip32/engine/pathmap.h"
#include "sevenzip32/dialogs/progress.h"
#include "sevenzip32/engine/result.h"
#include "sevenzip32/place/staging.h"
#include "sevenzip32/base/texts.h"
#include "sevenzip32/dialogs/ui.h"

// How often the wait wakes for progress when nothing else happens.
#define SZ_PROGRESS_MS 250
// How long Cancel waits for the engine before it tries again.
#define SZ_STOP_RETRY_MS 500

struct SzCall {
    HWND owner;
    SzEngineInfo engine;
    SzCommand cmd;
    WCHAR password[SZ_PASSWORD_CHARS];
    bool havePassword;
    SzConsole output; // everything the engine printed, for the caller
    bool quit;        // a WM_QUIT arrived while the engine ran
    WPARAM quitCode;
    ULONGLONG listedBytes; // what the archive holds, from its listing
};

// Links of an extraction: those the engine refused, and those the host walk
// took out of the staging folder to make after placing (path, target pairs).
struct SzLinks {
    SzArgs outside;
    SzArgs failed;
    SzArgs pending;
};

static void CopyOutput(SzCall* call, LPSTR output, DWORD outputSize) {
    if (output == NULL || outputSize == 0) {
        return;
    }
    ZeroMemory(output, outputSize);
    LPCSTR text = SzConsoleText(&call->output);
    // Legacy ZIP names as they land on disk, not as raw bytes.
    LPSTR decoded = call->cmd.command != 'a' && call->cmd.archive[0] != '\0'
                        ? SzDecodeLegacyText(call->cmd.archive, text)
                        : NULL;
    if (decoded != NULL) {
        text = decoded;
    }
    int chars = MultiByteToWideChar(CP_UTF8, 0, text, -1, NULL, 0);
    LPWSTR wide = chars > 0 ? static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                            chars * sizeof(WCHAR)))
                            : NULL;
    int bytes = 0;
    if (wide != NULL) {
        MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, chars);
        bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, NULL, 0, NULL, NULL);
    }
    LPSTR ansi =
        bytes > 0 ? static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes)) : NULL;
    if (ansi != NULL) {
        WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, bytes, NULL, NULL);
        // Cut at a whole character, never between the two bytes of one.
        LPCSTR end = ansi;
        for (LPCSTR next = ansi; *next != '\0'; next = CharNextA(next)) {
            LPCSTR after = CharNextA(next);
            if (static_cast<DWORD>(after - ansi) > outputSize - 1) {
                break;
            }
            end = after;
        }
        memcpy(output, ansi, static_cast<size_t>(end - ansi));
        HeapFree(GetProcessHeap(), 0, ansi);
    }
    if (wide != NULL) {
        HeapFree(GetProcessHeap(), 0, wide);
    }
    if (decoded != NULL) {
        HeapFree(GetProcessHeap(), 0, decoded);
    }
}

static void Record(SzCall* call, SzConsole* text) {
    LPCSTR s = SzConsoleText(text);
    SzConsoleFeed(&call->output, s, strlen(s));
}

// Every failure the user is told about passes here: text (code page 932)
// says what went wrong, detail (UTF-8) names files or quotes the engine.
static void ReportFailure(SzCall* call, LPCSTR text, LPCSTR detailUtf8) {
    SzShowMessage(call->owner, text, detailUtf8, MB_OK | MB_ICONERROR);
}

// The engine's complaint: its error stream, or its output when that was empty.
static void ReportEngineFailure(SzCall* call, SzConsole* errors, SzConsole* output) {
    LPCSTR detail = SzConsoleText(errors);
    while (*detail == '\n') {
        detail++;
    }
    if (*detail == '\0') {
        detail = SzConsoleText(output);
    }
    char sentence[MAX_PATH * 3];
    if (SzDescribeFailure(detail, call->cmd.archive, sentence, sizeof(sentence) - 8)) {
        StringCchCatA(sentence, sizeof(sentence), "\r\n\r\n");
    }
    ReportFailure(call, sentence[0] != '\0' ? sentence : SZ_TEXT_FAILED, detail);
}

// Sleeps on the engine's end and the caller's messages, as a modal dialog's
// loop does, with the owner disabled; wakes a few times a second for the
// progress. A WM_QUIT met on the way cancels the run; it is posted again once
// the call is over. Cancel is repeated until the engine is really gone.
static void PumpUntilEnd(SzCall* call, SzJob* job, HWND progress, volatile bool* cancelled) {
    // A dialog closed earlier in the call gave the owner back its input.
    if (call->owner != NULL) {
        EnableWindow(call->owner, FALSE);
    }
    DWORD lastPoll = GetTickCount();
    while (true) {
        DWORD wait =
            MsgWaitForMultipleObjects(1, &job->waitHandle, FALSE, SZ_PROGRESS_MS, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED) {
            break;
        }
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                call->quit = true;
                call->quitCode = msg.wParam;
                *cancelled = true;
                continue;
            }
            if (progress != NULL && IsDialogMessageA(progress, &msg)) {
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (*cancelled && (!job->cancelled || GetTickCount() - job->lastStop >= SZ_STOP_RETRY_MS)) {
            SzCancelJob(job);
        }
        if (GetTickCount() - lastPoll >= SZ_PROGRESS_MS) {
            lastPoll = GetTickCount();
            SzPollJob(job);
            if (progress != NULL) {
                SzFeedProgress(progress, &job->console);
            }
        }
    }
}

// The archive's name as the engine spells it (a full path).
static bool MapArchive(SzCall* call, LPSTR host, int hostBytes) {
    ZeroMemory(host, hostBytes);
    return SzMapName(&call->engine, call->cmd.archive, true, host, hostBytes);
}

// Lists the archive with what is known of the password; the exit code.
static int ListArchive(SzCall* call, SzConsole* output, SzConsole* errors) {
    char host[SZ_PATH_BYTES * 3];
    if (!MapArchive(call, host, sizeof(host))) {
        return -1;
    }
    SzArgs args;
    SzArgsInit(&args);
    static const LPCSTR kList[] = {"l", "-slt", "-sccUTF-8", "-spd"};
    for (size_t i = 0; i < sizeof(kList) / sizeof(kList[0]); i++) {
        SzArgsAdd(&args, kList[i]);
    }
    SzArgsAdd(&args, host);
    SzJob job;
    volatile bool cancelled = false;
    if (SzStartJob(&job, &call->engine, &args, NULL, NULL,
                   call->havePassword ? call->password : NULL)) {
        PumpUntilEnd(call, &job, NULL, &cancelled);
    }
    int exitCode = SzFinishJob(&job, errors);
    LPCSTR text = SzConsoleText(&job.console);
    SzConsoleFeed(output, text, strlen(text));
    SzConsoleFree(&job.console);
    SzArgsFree(&args);
    return job.cancelled ? -1 : exitCode;
}

// A new ZIP archive: by -t, or else by the archive's extension.
static bool MakesZip(const SzCommand* cmd) {
    if (cmd->command != 'a') {
        return false;
    }
    for (int i = 0; i < cmd->switches.count; i++) {
        LPCSTR s = SzArgsAt(&cmd->switches, i);
        if ((s[1] | 0x20) == 't') {
            return lstrcmpiA(s + 2, "zip") == 0;
        }
    }
    size_t n = strlen(cmd->archive);
    return n >= 4 && lstrcmpiA(cmd->archive + n - 4, ".zip") == 0;
}

static SzAsk AskPassword(SzCall* call, bool confirm) {
    SzAsk answer = SzAskPassword(call->owner, confirm, MakesZip(&call->cmd), call->password,
                                 SZ_PASSWORD_CHARS);
    call->havePassword = answer == SZ_ASK_OK;
    if (answer == SZ_ASK_UNAVAILABLE) {
        SzShowMessage(call->owner, SZ_TEXT_NO_PASSWORD_INPUT, NULL, MB_OK | MB_ICONERROR);
    }
    return answer;
}

static int AskResult(SzAsk answer) {
    return answer == SZ_ASK_CANCELLED ? SEVENZIP_ERROR_CANCELLED : SEVENZIP_ERROR_PASSWORD;
}

static bool ListingNeedsPassword(LPCSTR output, LPCSTR errors) {
    return strstr(output, "Enter password") != NULL || SzTextMeansWrongPassword(errors) ||
           SzTextMeansWrongPassword(output);
}

// Before extracting or testing: asks for a password when the archive needs one.
static int Prepare(SzCall* call) {
    for (int attempt = 0; attempt < 2; attempt++) {
        SzConsole output;
        SzConsole errors;
        SzConsoleInit(&output);
        SzConsoleInit(&errors);
        int exitCode = ListArchive(call, &output, &errors);
        LPCSTR listing = SzConsoleText(&output);
        int result = SEVENZIP_OK;
        bool again = false;
        if (call->quit) {
            result = SEVENZIP_ERROR_CANCELLED;
        } else if (exitCode != 0 && !call->havePassword &&
                   ListingNeedsPassword(listing, SzConsoleText(&errors))) {
            // The names themselves are encrypted: ask, then list again.
            SzAsk answer = AskPassword(call, false);
            result = answer == SZ_ASK_OK ? SEVENZIP_OK : AskResult(answer);
            again = answer == SZ_ASK_OK;
        } else if (exitCode != 0) {
            Record(call, &output);
            Record(call, &errors);
            result = exitCode < 0 ? SEVENZIP_ERROR_FATAL
                                  : SzMapExitCode(exitCode, SzConsoleText(&errors), false);
            ReportEngineFailure(call, &errors, &output);
        } else {
            call->listedBytes = SzListedBytes(listing);
            if (!call->havePassword && strstr(listing, "\nEncrypted = +") != NULL) {
                SzAsk answer = AskPassword(call, false);
                result = answer == SZ_ASK_OK ? SEVENZIP_OK : AskResult(answer);
            }
        }
        SzConsoleFree(&output);
        SzConsoleFree(&errors);
        if (!again) {
            return result;
        }
    }
    return SEVENZIP_OK;
}

// Runs the engine while pumping messages, like a modal dialog does; stage is
// the host path of a staging folder to remove should the caller end first.
// With links (extraction), a run whose only errors are links the engine
// would not or could not make counts as done, those entries going to links.
static int RunWithProgress(SzCall* call, const SzArgs* args, const SzArgs* names, LPCSTR stage,
                           SzLinks* links) {
    SzJob job;
    SzConsole errors;
    // Unfolded: the names the engine's complaints quote may hold any byte.
    SzConsoleInitRaw(&errors);
    volatile bool cancelled = false;
    HWND progress = NULL;
    bool started = SzStartJob(&job, &call->engine, args, names, stage,
                              call->havePassword ? call->password : NULL);
    if (started && !call->cmd.hide && SzHaveDisplay()) {
        progress = SzOpenProgress(call->owner, call->cmd.archive, &cancelled);
    }
    if (progress != NULL) {
        SzSetProgressTotal(progress, call->listedBytes);
    }
    if (started) {
        PumpUntilEnd(call, &job, progress, &cancelled);
    }
    int exitCode = SzFinishJob(&job, &errors);
    if (call->owner != NULL) {
        EnableWindow(call->owner, TRUE);
    }
    if (progress != NULL) {
        DestroyWindow(progress);
    }
    Record(call, &job.console);
    Record(call, &errors);
    int result = SEVENZIP_OK;
    if (!started || exitCode < 0) {
        result = job.cancelled ? SEVENZIP_ERROR_CANCELLED : SEVENZIP_ERROR_FATAL;
        if (!job.cancelled) {
            ReportFailure(call, SZ_TEXT_START_FAILED, call->engine.path);
        }
    } else {
        result = SzMapExitCode(exitCode, SzConsoleText(&errors), job.cancelled);
        if (result == SEVENZIP_ERROR_FATAL && links != NULL &&
            SzLinkRefusals(SzConsoleText(&errors), &links->outside, &links->failed)) {
            result = SEVENZIP_OK;
        }
        if (result != SEVENZIP_OK && result != SEVENZIP_ERROR_CANCELLED) {
            ReportEngineFailure(call, &errors, &job.console);
        }
    }
    SzConsoleFree(&job.console);
    SzConsoleFree(&errors);
    return result;
}

// A name given to the library that does not exist, or NULL: every name means
// exactly one file, so a missing one is an error, never a pattern.
static LPCSTR MissingName(const SzCommand* cmd) {
    DWORD attributes = GetFileAttributesA(cmd->archive);
    if (cmd->command != 'a' &&
        (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))) {
        return cmd->archive;
    }
    for (int i = 0; cmd->command == 'a' && i < cmd->names.count; i++) {
        LPCSTR name = SzArgsAt(&cmd->names, i);
        if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) {
            return name;
        }
    }
    return NULL;
}

// Text (code page 932) as UTF-8, for messages.
static void ToUtf8(LPCSTR text, LPSTR utf8, int utf8Bytes) {
    WCHAR wide[SZ_PATH_BYTES];
    ZeroMemory(wide, sizeof(wide));
    ZeroMemory(utf8, utf8Bytes);
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, SZ_PATH_BYTES - 1);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, utf8Bytes - 1, NULL, NULL);
}

// A wide path in code page 932, for the command's own names.
static bool ToAnsi(LPCWSTR path, LPSTR ansi, int ansiBytes) {
    ZeroMemory(ansi, ansiBytes);
    BOOL lossy = FALSE;
    return WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, ansiBytes - 1, NULL, &lossy) > 0 &&
           !lossy;
}

// The host path of a staging folder, for the watcher that removes it
// should the caller end during the run ("" on Windows).
static void StageHostPath(const SzCall* call, LPCWSTR dir, LPSTR host, int hostBytes) {
    ZeroMemory(host, hostBytes);
    if (call->engine.wine) {
        SzWineHostPath(dir, host, hostBytes);
    }
}

// Runs the engine with the command's names in the list file.
static int RunCommand(SzCall* call, LPCSTR archive, LPCSTR outDir, LPCSTR stageHost,
                      SzLinks* links = NULL) {
    SzArgs args;
    SzArgs names;
    SzArgsInit(&args);
    SzArgsInit(&names);
    int result =
        SzBuildEngineArgs(&call->cmd, &call->engine, archive, outDir, SzMapName, &args, &names);
    if (result == SEVENZIP_OK) {
        result = RunWithProgress(call, &args, &names, stageHost, links);
    } else {
        ReportFailure(call, SZ_TEXT_BAD_COMMAND, NULL);
    }
    SzArgsFree(&args);
    SzArgsFree(&names);
    return result;
}

// The target folder of an extraction as a full Windows path.
static void TargetFolder(const SzCall* call, LPWSTR folder, int folderChars) {
    WCHAR given[SZ_PATH_BYTES];
    ZeroMemory(given, sizeof(given));
    ZeroMemory(folder, folderChars * sizeof(WCHAR));
    if (call->cmd.outDir[0] == '\0') {
        GetCurrentDirectoryW(folderChars, folder);
        return;
    }
    MultiByteToWideChar(CP_ACP, 0, call->cmd.outDir, -1, given, SZ_PATH_BYTES);
    GetFullPathNameW(given, folderChars, folder, NULL);
    size_t n = wcslen(folder);
    while (n > 3 && folder[n - 1] == L'\\') {
        folder[--n] = L'\0';
    }
}

// A path the engine or the host walk names inside the staging folder (its
// host path, its Windows path, or relative with '/' or '\\') as the same place
// under dest, in full.
static void PlacedPath(const SzStage* stage, LPCSTR stageHost, LPCSTR named, LPWSTR path) {
    char stageUtf8[SZ_STAGE_CHARS * 3];
    ZeroMemory(stageUtf8, sizeof(stageUtf8));
    WideCharToMultiByte(CP_UTF8, 0, stage->dir, -1, stageUtf8, sizeof(stageUtf8) - 1, NULL, NULL);
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
    int at = static_cast<int>(wcslen(stage->dest));
    StringCchPrintfW(path, SZ_LONG_CHARS, L"%s\\", stage->dest);
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
            SzStage inStage = *stage;
            StringCchCopyW(inStage.dest, SZ_STAGE_CHARS, stage->dir);
            PlacedPath(&inStage, stageHost, SzArgsAt(names, i), path);
            DWORD attributes = GetFileAttributesW(path);
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW(path);
            }
            PlacedPath(stage, stageHost, SzArgsAt(names, i), path);
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
            PlacedPath(stage, "", fields[1], path);
            SzRefusalOfWord(fields[2] != NULL ? fields[2] : "", &why);
            SzRefuse(refused, path, why);
        } else if (line[0] == 'E' && legacy) {
            SzStage inStage = *stage;
            StringCchCopyW(inStage.dest, SZ_STAGE_CHARS, stage->dir);
            PlacedPath(&inStage, "", fields[1], path);
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
                MultiByteToWideChar(CP_UTF8, 0, part, -1, wide, MAX_PATH - 1);
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
static int Extract(SzCall* call) {
    WCHAR dest[SZ_STAGE_CHARS];
    TargetFolder(call, dest, SZ_STAGE_CHARS);
    SzStage stage;
    char outDir[SZ_PATH_BYTES];
    char stageHost[SZ_STAGE_CHARS * 3];
    ZeroMemory(stageHost, sizeof(stageHost));
    bool host = call->engine.wine;
    if (!SzStageOpen(&stage, dest, host) || !ToAnsi(stage.dir, outDir, sizeof(outDir))) {
        SzStageClose(&stage);
        WideCharToMultiByte(CP_UTF8, 0, dest, -1, stageHost, sizeof(stageHost) - 1, NULL, NULL);
        ReportFailure(call, SZ_TEXT_NO_STAGE, stageHost);
        return SEVENZIP_ERROR_FATAL;
    }
    StageHostPath(call, stage.dir, stageHost, sizeof(stageHost));
    SzLinks links;
    SzArgsInit(&links.outside);
    SzArgsInit(&links.failed);
    SzArgsInit(&links.pending);
    SzConsole refused;
    SzConsoleInit(&refused);
    int result = RunCommand(call, call->cmd.archive, outDir, stageHost, &links);
    if (result == SEVENZIP_OK) {
        // Here the engine has succeeded into stage.dir and nothing is placed yet.
        RefuseEngineLinks(&stage, stageHost, &links, &refused);
        SzConsole report;
        SzConsoleInitRaw(&report);
        if (host && !SzTidyHostTree(stage.dir, &report)) {
            ReportFailure(call, SZ_TEXT_NO_HOST_WALK, stageHost);
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
        MultiByteToWideChar(CP_ACP, 0, call->cmd.archive, -1, archive, SZ_PATH_BYTES - 1);
        result = SzStageCommit(&stage, call->cmd.overwrite, call->owner, archive, &refused);
        if (result != SEVENZIP_ERROR_CANCELLED && links.pending.count > 0) {
            SzConsole report;
            SzConsoleInitRaw(&report);
            SzOverwriteMode mode = call->cmd.overwrite;
            LPCSTR existing = mode == SZ_OVERWRITE_ALL    ? "replace"
                              : mode == SZ_OVERWRITE_SKIP ? "skip"
                                                          : "keep";
            if (!SzMakeHostLinks(stage.dest, existing, &links.pending, &report)) {
                ReportFailure(call, SZ_TEXT_NO_HOST_WALK, stageHost);
            }
            ApplyHostReport(&stage, SzConsoleText(&report), false, &links, &refused);
            SzConsoleFree(&report);
        }
        if (result == SEVENZIP_OK && refused.used > 0) {
            result = SEVENZIP_ERROR_WARNING;
        }
        if (result == SEVENZIP_ERROR_WARNING) {
            ReportFailure(call, SZ_TEXT_NOT_PLACED, SzConsoleText(&refused));
        }
    }
    SzConsoleFree(&refused);
    SzArgsFree(&links.outside);
    SzArgsFree(&links.failed);
    SzArgsFree(&links.pending);
    SzStageClose(&stage);
    return result;
}

// Compression into a temporary archive beside the target (a copy of it when
// it exists), renamed over the target only when the engine succeeded.
static int Compress(SzCall* call) {
    WCHAR archive[SZ_STAGE_CHARS];
    WCHAR folder[SZ_STAGE_CHARS];
    WCHAR given[SZ_PATH_BYTES];
    ZeroMemory(archive, sizeof(archive));
    ZeroMemory(folder, sizeof(folder));
    ZeroMemory(given, sizeof(given));
    MultiByteToWideChar(CP_ACP, 0, call->cmd.archive, -1, given, SZ_PATH_BYTES - 1);
    LPWSTR leaf = NULL;
    GetFullPathNameW(given, SZ_STAGE_CHARS, archive, &leaf);
    if (leaf != NULL) {
        // The folder without its last backslash, unless it is a drive's root.
        size_t n = static_cast<size_t>(leaf - archive);
        StringCchCopyNW(folder, SZ_STAGE_CHARS, archive, n > 3 ? n - 1 : n);
    }
    SzStage stage;
    WCHAR temp[SZ_STAGE_CHARS];
    char tempAnsi[SZ_PATH_BYTES];
    char stageHost[SZ_STAGE_CHARS * 3];
    ZeroMemory(stageHost, sizeof(stageHost));
    ZeroMemory(temp, sizeof(temp));
    bool ready = leaf != NULL && SzStageOpen(&stage, folder, call->engine.wine) &&
                 SUCCEEDED(StringCchPrintfW(temp, SZ_STAGE_CHARS, L"%s\\%s", stage.dir, leaf)) &&
                 ToAnsi(temp, tempAnsi, sizeof(tempAnsi));
    // Adding to an existing archive works on a copy, so a failure leaves it as it was.
    DWORD attributes = GetFileAttributesW(archive);
    ready = ready && (attributes == INVALID_FILE_ATTRIBUTES || CopyFileW(archive, temp, TRUE));
    int result = SEVENZIP_ERROR_FATAL;
    if (ready) {
        StageHostPath(call, stage.dir, stageHost, sizeof(stageHost));
        result = RunCommand(call, tempAnsi, NULL, stageHost);
    }
    if (result == SEVENZIP_OK) {
        // A folder that did not exist is the staging folder renamed.
        bool placed = stage.whole ? MoveFileW(stage.dir, folder)
                                  : MoveFileExW(temp, archive, MOVEFILE_REPLACE_EXISTING);
        stage.made = stage.made && !(placed && stage.whole);
        result = placed ? SEVENZIP_OK : SEVENZIP_ERROR_FATAL;
        ready = placed != FALSE;
    }
    if (!ready) {
        ToUtf8(call->cmd.archive, stageHost, sizeof(stageHost));
        ReportFailure(call, SZ_TEXT_NOT_COMPRESSED, stageHost);
    }
    if (leaf != NULL) {
        SzStageClose(&stage);
    }
    return result;
}

static int Execute(SzCall* call, LPCSTR cmdLine) {
    if (!SzFindEngine(&call->engine)) {
        SzShowMessage(call->owner, SZ_TEXT_MISSING_ENGINE, NULL, MB_OK | MB_ICONERROR);
        return SEVENZIP_ERROR_FATAL;
    }
    if (SzParseCommand(cmdLine, &call->cmd) != SEVENZIP_OK) {
        char masked[SZ_PATH_BYTES];
        char detail[SZ_PATH_BYTES * 3];
        SzMaskCommand(cmdLine, masked, sizeof(masked));
        ToUtf8(masked, detail, sizeof(detail));
        SecureZeroMemory(masked, sizeof(masked));
        ReportFailure(call, SZ_TEXT_BAD_COMMAND, detail);
        return SEVENZIP_ERROR_COMMAND;
    }
    LPCSTR missing = MissingName(&call->cmd);
    if (missing != NULL) {
        // The same sentence the engine's own "not found" would give.
        char sentence[SZ_PATH_BYTES + 64];
        ZeroMemory(sentence, sizeof(sentence));
        StringCchPrintfA(sentence, sizeof(sentence), SZ_TEXT_NOT_FOUND, missing);
        ReportFailure(call, sentence, NULL);
        return call->cmd.command == 'a' ? SEVENZIP_ERROR_WARNING : SEVENZIP_ERROR_FATAL;
    }
    if (call->cmd.password == SZ_PASSWORD_GIVEN) {
        MultiByteToWideChar(CP_ACP, 0, call->cmd.passwordText, -1, call->password,
                            SZ_PASSWORD_CHARS - 1);
        SecureZeroMemory(call->cmd.passwordText, sizeof(call->cmd.passwordText));
        call->havePassword = true;
    } else if (call->cmd.password == SZ_PASSWORD_ASK) {
        // A new archive's password is typed twice: a slip would lock it for good.
        SzAsk answer = AskPassword(call, call->cmd.command == 'a');
        if (answer != SZ_ASK_OK) {
            return AskResult(answer);
        }
    }
    char command = call->cmd.command;
    call->cmd.legacyNames = command != 'a' && SzHasLegacyNames(call->cmd.archive);
    if (command == 'x' || command == 'e' || command == 't') {
        int prepared = Prepare(call);
        if (prepared != SEVENZIP_OK) {
            return prepared;
        }
    }
    if (command == 'x' || command == 'e') {
        return Extract(call);
    }
    if (command == 'a') {
        return Compress(call);
    }
    return RunCommand(call, call->cmd.archive, NULL, NULL);
}

int SzExecute(HWND owner, LPCSTR cmdLine, LPSTR output, DWORD outputSize) {
    SzCall* call =
        static_cast<SzCall*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SzCall)));
    if (call == NULL) {
        return SEVENZIP_ERROR_MEMORY;
    }
    call->owner = owner != NULL && IsWindow(owner) ? owner : NULL;
    SzConsoleInit(&call->output);
    // The owner stays disabled for the whole call, as under a modal dialog.
    bool disabled = call->owner != NULL && IsWindowEnabled(call->owner);
    if (disabled) {
        EnableWindow(call->owner, FALSE);
    }
    int result = Execute(call, cmdLine);
    if (disabled) {
        EnableWindow(call->owner, TRUE);
    }
    CopyOutput(call, output, outputSize);
    if (call->quit) {
        PostQuitMessage(static_cast<int>(call->quitCode));
    }
    SzFreeCommand(&call->cmd);
    SecureZeroMemory(call->password, sizeof(call->password));
    SzConsoleFree(&call->output);
    HeapFree(GetProcessHeap(), 0, call);
    return result;
}
