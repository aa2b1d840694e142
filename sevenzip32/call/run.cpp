#include "sevenzip32/call/call.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/archive/archtype.h"
#include "sevenzip32/base/wine.h"
#include "sevenzip32/dialogs/progress.h"
#include "sevenzip32/engine/enginetext.h"
#include "sevenzip32/engine/pathmap.h"
#include "sevenzip32/engine/result.h"

// How often the wait wakes for progress when nothing else happens.
#define SZ_PROGRESS_MS 250
// How long Cancel waits for the engine before it tries again.
#define SZ_STOP_RETRY_MS 500

// The archive's name as the engine spells it (a full path).
static bool MapArchive(SzCall* call, LPSTR host, int hostBytes) {
    ZeroMemory(host, hostBytes);
    return SzMapName(&call->engine, call->cmd.archive, true, host, hostBytes);
}

// Starts a technical listing of the archive with what is known of the password.
static bool StartListing(SzCall* call, SzJob* job) {
    char host[SZ_PATH_BYTES * 3];
    if (!MapArchive(call, host, sizeof(host))) {
        ZeroMemory(job, sizeof(*job));
        job->output = INVALID_HANDLE_VALUE;
        return false;
    }
    SzArgs args;
    SzArgsInit(&args);
    static const LPCSTR kList[] = {"l", "-slt", "-sccUTF-8", "-spd"};
    for (size_t i = 0; i < sizeof(kList) / sizeof(kList[0]); i++) {
        SzArgsAdd(&args, kList[i]);
    }
    // The names it lists are the names the extraction will write.
    if (call->cmd.legacyNames) {
        SzArgsAdd(&args, SZ_LEGACY_NAMES_SWITCH);
    }
    SzArgsAdd(&args, host);
    bool started = !args.failed && SzStartJob(job, &call->engine, &call->folder, &args, NULL, NULL,
                                              call->havePassword ? call->password : NULL);
    SzArgsFree(&args);
    return started;
}

// A listing started beside a long run, for the progress window's total.
struct SzSideListing {
    SzJob job;
    bool tried;
    bool running;
    DWORD since; // tick it started
};

// Ends the side listing (stopping it when asked) and hands its total to progress.
static void EndSideListing(SzSideListing* side, HWND progress, bool stop) {
    if (!side->running) {
        return;
    }
    if (stop) {
        SzCancelJob(&side->job);
    }
    int exitCode = SzFinishJob(&side->job, NULL);
    if (exitCode == 0 && !side->job.cancelled && progress != NULL) {
        SzSetProgressTotal(progress, SzListedBytes(SzConsoleText(&side->job.console)));
    }
    SzConsoleFree(&side->job.console);
    side->running = false;
}

// Sleeps on the engine's end and the caller's messages, as a modal dialog's
// loop does, with the owner disabled; wakes a few times a second only while
// a progress window may be wanted (showProgress) or a Cancel is to be
// repeated. A WM_QUIT met on the way cancels the run; it is posted again once
// the call is over. Cancel is repeated until the engine is really gone. A
// run that has lasted half a second gets its progress window and, when its
// total is not known yet, a listing beside it; the window appears with the
// total when the listing ends (at the latest a wake later without it):
// shorter runs pay for neither.
static void PumpUntilEnd(SzCall* call, SzJob* job, bool showProgress, HWND* window,
                         volatile bool* cancelled) {
    // A dialog closed earlier in the call gave the owner back its input.
    if (call->owner != NULL) {
        EnableWindow(call->owner, FALSE);
    }
    SzSideListing side;
    ZeroMemory(&side, sizeof(side));
    DWORD started = GetTickCount();
    DWORD lastPoll = started;
    HWND progress = NULL;
    while (true) {
        HANDLE handles[2] = {job->waitHandle, side.running ? side.job.waitHandle : NULL};
        DWORD timeout = showProgress || *cancelled ? SZ_PROGRESS_MS : INFINITE;
        DWORD wait =
            MsgWaitForMultipleObjects(side.running ? 2 : 1, handles, FALSE, timeout, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED) {
            break;
        }
        if (side.running && wait == WAIT_OBJECT_0 + 1) {
            EndSideListing(&side, progress, false);
            SzFeedProgress(progress, &job->console);
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
            if (showProgress && progress == NULL && !*cancelled &&
                GetTickCount() - started >= SZ_PROGRESS_DELAY_MS) {
                // Asking for the display starts Wine's display driver, which a
                // short run should not pay for nor have compete with its engine.
                progress = SzHaveDisplay()
                               ? SzOpenProgress(call->owner, call->cmd.archive, started, cancelled)
                               : NULL;
                showProgress = progress != NULL;
                if (progress != NULL) {
                    SzSetProgressTotal(progress, call->listedBytes);
                }
            }
            if (progress != NULL && call->listLater && !side.tried && !*cancelled) {
                side.tried = true;
                side.since = GetTickCount();
                side.running = StartListing(call, &side.job);
                if (!side.running) {
                    SzFinishJob(&side.job, NULL);
                    SzConsoleFree(&side.job.console);
                }
            }
            // The window waits for its total as long as one more wake.
            if (progress != NULL &&
                (!side.running || GetTickCount() - side.since >= SZ_PROGRESS_MS)) {
                SzFeedProgress(progress, &job->console);
            }
        }
    }
    EndSideListing(&side, progress, true);
    *window = progress;
}

// Lists the archive with what is known of the password; the exit code.
static int ListArchive(SzCall* call, SzConsole* output, SzConsole* errors) {
    SzJob job;
    volatile bool cancelled = false;
    HWND none = NULL;
    if (StartListing(call, &job)) {
        PumpUntilEnd(call, &job, false, &none, &cancelled);
    }
    int exitCode = SzFinishJob(&job, errors);
    LPCSTR text = SzConsoleText(&job.console);
    SzConsoleFeed(output, text, strlen(text));
    SzConsoleFree(&job.console);
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

SzAsk SzAskCallPassword(SzCall* call, bool confirm) {
    SzAsk answer = SzAskPassword(call->owner, confirm, MakesZip(&call->cmd), call->password,
                                 SZ_PASSWORD_CHARS);
    call->havePassword = answer == SZ_ASK_OK;
    if (answer == SZ_ASK_UNAVAILABLE) {
        SzShowMessage(call->owner, SZ_TEXT_NO_PASSWORD_INPUT, NULL, MB_OK | MB_ICONERROR);
    }
    return answer;
}

int SzAskResult(SzAsk answer) {
    return answer == SZ_ASK_CANCELLED ? SEVENZIP_ERROR_CANCELLED : SEVENZIP_ERROR_PASSWORD;
}

int SzAskArchivePassword(SzCall* call) {
    SzAsk answer = SzAskCallPassword(call, false);
    return answer == SZ_ASK_OK ? SEVENZIP_OK : SzAskResult(answer);
}

// Before extracting or testing: asks for a password when the archive needs
// one. What the archive's own headers say is taken as they say it: a ZIP's
// encryption and sizes, a 7z's encrypted names (its data's encryption the
// engine reports when it meets it, and its total a listing beside a long
// run). Other archives are listed first.
int SzPrepare(SzCall* call) {
    SzArchiveFacts facts;
    bool read = SzReadArchiveFacts(call->cmd.archive, &facts);
    // Stored names that lead out are named; a listing names them otherwise.
    for (int i = 0; read && i < facts.climbing.count; i++) {
        SzArgsAdd(&call->climbing, SzArgsAt(&facts.climbing, i));
    }
    SzArgsFree(&facts.climbing);
    if (read) {
        call->listedBytes = facts.bytes;
        call->listLater = !facts.zip;
        return facts.encrypted && !call->havePassword ? SzAskArchivePassword(call) : SEVENZIP_OK;
    }
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
                   SzListingNeedsPassword(listing, SzConsoleText(&errors))) {
            // The names themselves are encrypted: ask, then list again.
            SzAsk answer = SzAskCallPassword(call, false);
            result = answer == SZ_ASK_OK ? SEVENZIP_OK : SzAskResult(answer);
            again = answer == SZ_ASK_OK;
        } else if (exitCode != 0) {
            SzRecord(call, &output);
            SzRecord(call, &errors);
            result = exitCode < 0 ? SEVENZIP_ERROR_FATAL
                                  : SzMapExitCode(exitCode, SzConsoleText(&errors), false);
            SzReportEngineFailure(call, &errors, &output);
        } else {
            call->listedBytes = SzListedBytes(listing);
            SzListingClimbingNames(listing, &call->climbing);
            if (!call->havePassword && SzListingEncrypted(listing)) {
                SzAsk answer = SzAskCallPassword(call, false);
                result = answer == SZ_ASK_OK ? SEVENZIP_OK : SzAskResult(answer);
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
    bool started = SzStartJob(&job, &call->engine, &call->folder, args, names, stage,
                              call->havePassword ? call->password : NULL);
    if (started) {
        PumpUntilEnd(call, &job, !call->cmd.hide, &progress, &cancelled);
    }
    int exitCode = SzFinishJob(&job, &errors);
    if (call->owner != NULL) {
        EnableWindow(call->owner, TRUE);
    }
    if (progress != NULL) {
        DestroyWindow(progress);
    }
    // An extraction or test that met encrypted data with no password to give
    // is run again once the password is known: this attempt says nothing.
    char command = call->cmd.command;
    bool askFirst = started && exitCode != 0 && !job.cancelled && !call->havePassword &&
                    (command == 'x' || command == 'e' || command == 't') &&
                    SzListingNeedsPassword(SzConsoleText(&job.console), SzConsoleText(&errors));
    if (!askFirst) {
        SzRecord(call, &job.console);
        SzRecord(call, &errors);
    }
    int result = SEVENZIP_OK;
    if (askFirst) {
        result = SZ_NEEDS_PASSWORD;
    } else if (!started || exitCode < 0) {
        result = job.cancelled ? SEVENZIP_ERROR_CANCELLED : SEVENZIP_ERROR_FATAL;
        if (!job.cancelled) {
            SzReportFailure(call, SZ_TEXT_START_FAILED, call->engine.path);
        }
    } else {
        result = SzMapExitCode(exitCode, SzConsoleText(&errors), job.cancelled);
        if (result == SEVENZIP_ERROR_FATAL && links != NULL &&
            SzLinkRefusals(SzConsoleText(&errors), &links->outside, &links->failed)) {
            result = SEVENZIP_OK;
        }
        if (result != SEVENZIP_OK && result != SEVENZIP_ERROR_CANCELLED) {
            SzReportEngineFailure(call, &errors, &job.console);
        }
    }
    SzConsoleFree(&job.console);
    SzConsoleFree(&errors);
    return result;
}

// The host path of a staging folder, for the watcher that removes it
// should the caller end during the run ("" on Windows).
void SzStageHostPath(const SzCall* call, LPCWSTR dir, LPSTR host, int hostBytes) {
    ZeroMemory(host, hostBytes);
    if (call->engine.wine) {
        SzWineHostPath(dir, host, hostBytes);
    }
}

// Runs the engine with the command's names in the list file.
int SzRunCommand(SzCall* call, LPCSTR archive, LPCSTR outDir, LPCSTR stageHost, SzLinks* links) {
    SzArgs args;
    SzArgs names;
    SzArgsInit(&args);
    SzArgsInit(&names);
    int result =
        SzBuildEngineArgs(&call->cmd, &call->engine, archive, outDir, SzMapName, &args, &names);
    if (result == SEVENZIP_OK) {
        result = RunWithProgress(call, &args, &names, stageHost, links);
    } else {
        SzReportFailure(call, SZ_TEXT_BAD_COMMAND, NULL);
    }
    SzArgsFree(&args);
    SzArgsFree(&names);
    return result;
}
