#include "sevenzip32/operation.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/cmdline.h"
#include "sevenzip32/console.h"
#include "sevenzip32/engine.h"
#include "sevenzip32/legacy.h"
#include "sevenzip32/messages.h"
#include "sevenzip32/pathmap.h"
#include "sevenzip32/progress.h"
#include "sevenzip32/result.h"
#include "sevenzip32/texts.h"
#include "sevenzip32/ui.h"

// Names of existing files listed in the overwrite question at most.
#define SZ_LISTED_CONFLICTS 8

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

// The engine's complaint for the message box: a sentence when it is one users
// meet, then the engine's error stream, or its output when that was empty.
static void ReportFailure(SzCall* call, SzConsole* errors, SzConsole* output) {
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
    SzShowMessage(call->owner, sentence[0] != '\0' ? sentence : SZ_TEXT_FAILED, detail,
                  MB_OK | MB_ICONERROR);
}

static bool MapArchive(SzCall* call, LPSTR host, int hostBytes) {
    ZeroMemory(host, hostBytes);
    return SzMapName(call->cmd.archive, true, host, hostBytes);
}

// Waits for the engine while pumping messages, as a modal dialog's loop does,
// with the owner disabled. A WM_QUIT met on the way cancels the run; it is
// posted again once the call is over.
static void PumpUntilEnd(SzCall* call, SzJob* job, HWND progress, volatile bool* cancelled) {
    // A dialog closed earlier in the call gave the owner back its input.
    if (call->owner != NULL) {
        EnableWindow(call->owner, FALSE);
    }
    while (true) {
        DWORD wait = MsgWaitForMultipleObjects(1, &job->waitHandle, FALSE, 100, QS_ALLINPUT);
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
        if (*cancelled && !job->cancelled) {
            SzCancelJob(job);
        }
        SzPollJob(job);
        if (progress != NULL) {
            SzFeedProgress(progress, &job->console);
        }
    }
}

// Lists the archive with what is known of the password; the exit code.
static int ListArchive(SzCall* call, SzConsole* output, SzConsole* errors) {
    char host[SZ_PATH_BYTES * 3];
    if (!MapArchive(call, host, sizeof(host))) {
        return -1;
    }
    SzArgs args;
    SzArgsInit(&args);
    SzArgsAdd(&args, "l");
    SzArgsAdd(&args, "-slt");
    SzArgsAdd(&args, "-sccUTF-8");
    SzArgsAdd(&args, "--");
    SzArgsAdd(&args, host);
    SzJob job;
    volatile bool cancelled = false;
    if (SzStartJob(&job, &call->engine, &args, call->havePassword ? call->password : NULL)) {
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
    return answer == SZ_ASK_CANCELLED ? SZ_ERROR_CANCELLED : SZ_ERROR_PASSWORD;
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
}

// Counts the listed files that already exist where they would be extracted,
// and collects the first few names (UTF-8, one a line).
static int FindConflicts(const SzCall* call, LPCSTR listing, LPSTR names, int namesBytes) {
    WCHAR folder[MAX_PATH * 2];
    TargetFolder(call, folder, MAX_PATH * 2);
    LPCSTR entries = strstr(listing, "\n----------\n");
    if (entries == NULL) {
        return 0;
    }
    int count = 0;
    ZeroMemory(names, namesBytes);
    for (LPCSTR p = entries; (p = strstr(p, "\nPath = ")) != NULL;) {
        p += 8;
        LPCSTR end = strchr(p, '\n');
        size_t n = end != NULL ? static_cast<size_t>(end - p) : strlen(p);
        char name[MAX_PATH * 3];
        ZeroMemory(name, sizeof(name));
        if (n >= sizeof(name)) {
            continue;
        }
        memcpy(name, p, n);
        LPCSTR leaf = name;
        if (call->cmd.command == 'e') {
            // The Windows engine lists folders with '\\' (in UTF-8 never
            // half a character); on a host '\\' is part of a name.
            for (LPCSTR q = name; *q != '\0'; q++) {
                if (*q == '/' || (*q == '\\' && !call->engine.wine)) {
                    leaf = q + 1;
                }
            }
        }
        WCHAR wideLeaf[MAX_PATH * 2];
        WCHAR target[MAX_PATH * 4];
        ZeroMemory(wideLeaf, sizeof(wideLeaf));
        ZeroMemory(target, sizeof(target));
        MultiByteToWideChar(CP_UTF8, 0, leaf, -1, wideLeaf, MAX_PATH * 2);
        for (WCHAR* w = wideLeaf; *w != L'\0'; w++) {
            if (*w == L'/') {
                *w = L'\\';
            }
        }
        StringCchPrintfW(target, MAX_PATH * 4, L"%s\\%s", folder, wideLeaf);
        DWORD attributes = GetFileAttributesW(target);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (count < SZ_LISTED_CONFLICTS) {
                StringCchCatA(names, namesBytes, name);
                StringCchCatA(names, namesBytes, "\n");
            } else if (count == SZ_LISTED_CONFLICTS) {
                StringCchCatA(names, namesBytes, "...\n");
            }
            count++;
        }
    }
    return count;
}

static bool ListingNeedsPassword(LPCSTR output, LPCSTR errors) {
    return strstr(output, "Enter password") != NULL || SzTextMeansWrongPassword(errors) ||
           SzTextMeansWrongPassword(output);
}

// Before extracting or testing: asks for a password when the archive needs
// one, and decides what happens to existing files.
static int Prepare(SzCall* call, SzOverwriteMode* overwrite) {
    for (int attempt = 0; attempt < 2; attempt++) {
        SzConsole output;
        SzConsole errors;
        SzConsoleInit(&output);
        SzConsoleInit(&errors);
        int exitCode = ListArchive(call, &output, &errors);
        LPCSTR listing = SzConsoleText(&output);
        int result = SZ_OK;
        bool again = false;
        if (call->quit) {
            result = SZ_ERROR_CANCELLED;
        } else if (exitCode != 0 && !call->havePassword &&
                   ListingNeedsPassword(listing, SzConsoleText(&errors))) {
            // The names themselves are encrypted: ask, then list again.
            SzAsk answer = AskPassword(call, false);
            result = answer == SZ_ASK_OK ? SZ_OK : AskResult(answer);
            again = answer == SZ_ASK_OK;
        } else if (exitCode != 0) {
            Record(call, &output);
            Record(call, &errors);
            result = exitCode < 0 ? SZ_ERROR_FATAL
                                  : SzMapExitCode(exitCode, SzConsoleText(&errors), false);
            ReportFailure(call, &errors, &output);
        } else {
            call->listedBytes = SzListedBytes(listing);
            if (!call->havePassword && strstr(listing, "\nEncrypted = +") != NULL) {
                SzAsk answer = AskPassword(call, false);
                result = answer == SZ_ASK_OK ? SZ_OK : AskResult(answer);
            }
            // Testing writes nothing, so only extraction can meet existing files.
            if (result == SZ_OK && *overwrite == SZ_OVERWRITE_ASK && call->cmd.command != 't') {
                char names[2048];
                int conflicts = FindConflicts(call, listing, names, sizeof(names));
                int answer = conflicts > 0 ? SzAskOverwrite(call->owner, conflicts, names) : IDNO;
                *overwrite = answer == IDYES ? SZ_OVERWRITE_ALL : SZ_OVERWRITE_SKIP;
                result = answer == IDCANCEL ? SZ_ERROR_CANCELLED : SZ_OK;
            }
        }
        SzConsoleFree(&output);
        SzConsoleFree(&errors);
        if (!again) {
            return result;
        }
    }
    return SZ_OK;
}

// Runs the engine while pumping messages, like a modal dialog does.
static int RunWithProgress(SzCall* call, const SzArgs* args) {
    SzJob job;
    SzConsole errors;
    SzConsoleInit(&errors);
    volatile bool cancelled = false;
    HWND progress = NULL;
    bool started =
        SzStartJob(&job, &call->engine, args, call->havePassword ? call->password : NULL);
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
    int result = SZ_OK;
    if (!started || exitCode < 0) {
        result = job.cancelled ? SZ_ERROR_CANCELLED : SZ_ERROR_FATAL;
        if (!job.cancelled) {
            SzShowMessage(call->owner, SZ_TEXT_START_FAILED, call->engine.path,
                          MB_OK | MB_ICONERROR);
        }
    } else {
        result = SzMapExitCode(exitCode, SzConsoleText(&errors), job.cancelled);
        if (result != SZ_OK && result != SZ_ERROR_CANCELLED) {
            ReportFailure(call, &errors, &job.console);
        }
    }
    SzConsoleFree(&job.console);
    SzConsoleFree(&errors);
    return result;
}

static int Execute(SzCall* call, LPCSTR cmdLine) {
    if (!SzFindEngine(&call->engine)) {
        SzShowMessage(call->owner, SZ_TEXT_MISSING_ENGINE, NULL, MB_OK | MB_ICONERROR);
        return SZ_ERROR_FATAL;
    }
    if (SzParseCommand(cmdLine, &call->cmd) != SZ_OK) {
        char detail[1024];
        ZeroMemory(detail, sizeof(detail));
        WCHAR wide[1024];
        ZeroMemory(wide, sizeof(wide));
        MultiByteToWideChar(CP_ACP, 0, cmdLine != NULL ? cmdLine : "", -1, wide, 1023);
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, detail, sizeof(detail) - 1, NULL, NULL);
        SzShowMessage(call->owner, SZ_TEXT_BAD_COMMAND, detail, MB_OK | MB_ICONERROR);
        return SZ_ERROR_COMMAND;
    }
    if (call->cmd.password == SZ_PASSWORD_GIVEN) {
        MultiByteToWideChar(CP_ACP, 0, call->cmd.passwordText, -1, call->password,
                            SZ_PASSWORD_CHARS - 1);
        call->havePassword = true;
    } else if (call->cmd.password == SZ_PASSWORD_ASK) {
        // A new archive's password is typed twice: a slip would lock it for good.
        SzAsk answer = AskPassword(call, call->cmd.command == 'a');
        if (answer != SZ_ASK_OK) {
            return AskResult(answer);
        }
    }
    SzOverwriteMode overwrite = call->cmd.overwrite;
    char command = call->cmd.command;
    if (command == 'x' || command == 'e' || command == 't') {
        int prepared = Prepare(call, &overwrite);
        if (prepared != SZ_OK) {
            return prepared;
        }
    }
    // Cancel ends a Windows engine outright, before it can remove the
    // archive it was creating; a host engine removes it itself.
    bool fresh = command == 'a' && GetFileAttributesA(call->cmd.archive) == INVALID_FILE_ATTRIBUTES;
    SzArgs args;
    SzArgsInit(&args);
    int result = SzBuildEngineArgs(&call->cmd, overwrite, SzMapName, &args);
    if (result == SZ_OK) {
        result = RunWithProgress(call, &args);
        if (result == SZ_ERROR_CANCELLED && fresh && !call->engine.wine) {
            DeleteFileA(call->cmd.archive);
        }
        if ((result == SZ_OK || result == SZ_ERROR_WARNING) && (command == 'x' || command == 'e')) {
            WCHAR folder[MAX_PATH * 2];
            TargetFolder(call, folder, MAX_PATH * 2);
            SzRenameLegacyNames(call->cmd.archive, folder, command == 'e',
                                overwrite == SZ_OVERWRITE_ALL);
        }
    } else {
        SzShowMessage(call->owner, SZ_TEXT_BAD_COMMAND, NULL, MB_OK | MB_ICONERROR);
    }
    SzArgsFree(&args);
    return result;
}

int SzExecute(HWND owner, LPCSTR cmdLine, LPSTR output, DWORD outputSize) {
    SzCall* call =
        static_cast<SzCall*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SzCall)));
    if (call == NULL) {
        return SZ_ERROR_MEMORY;
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
