// The Wine road: the host engine started through ntdll's spawn export under
// /bin/sh, its streams in files of a private folder that the Windows side
// reads through the Z: drive, and a watcher that ends it with its caller.
#include <windows.h>

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/engine/engine.h"
#include "sevenzip32/engine/road.h"
#include "sevenzip32/base/wine.h"

static bool MakePrivate(SzPrivate* folder) {
    return SzHostPrivateFolder(folder->host, sizeof(folder->host), folder->dir, MAX_PATH);
}

static bool WritePasswordFile(const SzJob* job, LPCWSTR password) {
    char line[1024];
    int bytes = SzPasswordLine(password, line, sizeof(line));
    WCHAR path[MAX_PATH];
    SzJobFile(job, L"pw", path);
    HANDLE file = bytes > 0 ? CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, NULL)
                            : INVALID_HANDLE_VALUE;
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, line, static_cast<DWORD>(bytes), &written, NULL) &&
              written == static_cast<DWORD>(bytes);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    SecureZeroMemory(line, sizeof(line));
    return ok;
}

// The shell gives the engine its streams (the job's files, "$d/$n.*"): the
// password file is opened and deleted before the engine starts, and the
// shell's process number (the engine's after exec) is left for cancelling.
// A watcher in the background ends the engine and removes the private and
// staging folders when the caller's process is gone (ended, or a zombie
// nobody reaps yet). It lives while the engine does, and after it as long as
// the staging folder or the call's private folder is there, so that a caller
// ending while it places entries, asks or walks leaves nothing behind; it
// removes them again (for ten seconds at most) while a host walk that
// outlived the caller still renames in them. The engine is the watcher's
// parent: a process number taken over by another program after the engine
// ended is never signalled. Only the engine carries SEVENZIP32_JOB, so that
// whoever ends engines can tell it from the watcher.
static const char kRunScript[] =
    "d=$1; f=$1/$2; w=$3; cd \"$4\" 2>/dev/null || cd /; shift 4; export LC_ALL=C.UTF-8; "
    "c=$PPID; e=$$; "
    "( exec </dev/null >/dev/null 2>&1; "
    "engine() { read -r m </proc/self/stat; set -- $m; [ \"$4\" = \"$e\" ]; }; "
    "while engine || { [ -n \"$w\" ] && [ -d \"$w\" ]; } || [ -d \"$d\" ]; do s=; "
    "read -r s </proc/$c/stat; "
    "case \"$s\" in ''|*') Z '*) if engine; then kill -TERM $e; sleep 1; "
    "engine && kill -KILL $e; fi; rm -rf \"$d\"; [ -z \"$w\" ] || rm -rf \"$w\"; "
    "g=$((g + 1)); [ \"$g\" -lt 20 ] || exit;; esac; "
    "sleep 0.5; done ) & "
    "echo $$ >\"$f.pid\"; export SEVENZIP32_JOB=\"$d\"; "
    "if [ -e \"$f.pw\" ]; then exec 3<\"$f.pw\"; rm -f \"$f.pw\"; "
    "exec \"$@\" <&3 3<&- >\"$f.out\" 2>\"$f.err\"; fi; "
    "exec \"$@\" </dev/null >\"$f.out\" 2>\"$f.err\"";

// What the spawn thread reads: every string of the run lives here.
struct SzWineRun {
    SzArgs argv;
    char** vector;
};

static SzWineRun* RunOf(SzJob* job) {
    return static_cast<SzWineRun*>(job->road);
}

static DWORD WINAPI SpawnThread(void* parameter) {
    SzJob* job = static_cast<SzJob*>(parameter);
    InterlockedExchange(&job->exitCode, SzHostRun(RunOf(job)->vector));
    return 0;
}

static bool Start(SzJob* job, const SzArgs* args, LPCWSTR password) {
    if (password != NULL && !WritePasswordFile(job, password)) {
        return false;
    }
    char cwd[MAX_PATH * 3];
    WCHAR current[MAX_PATH];
    ZeroMemory(cwd, sizeof(cwd));
    ZeroMemory(current, sizeof(current));
    GetCurrentDirectoryW(MAX_PATH, current);
    if (!SzWineHostPath(current, cwd, sizeof(cwd))) {
        StringCchCopyA(cwd, sizeof(cwd), "/");
    }
    SzWineRun* run =
        static_cast<SzWineRun*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SzWineRun)));
    job->road = run;
    if (run == NULL) {
        return false;
    }
    SzArgsInit(&run->argv);
    static const LPCSTR kLeading[] = {"/bin/sh", "-c", kRunScript, "sh"};
    for (size_t i = 0; i < sizeof(kLeading) / sizeof(kLeading[0]); i++) {
        SzArgsAdd(&run->argv, kLeading[i]);
    }
    char number[16];
    ZeroMemory(number, sizeof(number));
    StringCchPrintfA(number, sizeof(number), "%d", job->number);
    SzArgsAdd(&run->argv, job->folder->host);
    SzArgsAdd(&run->argv, number);
    SzArgsAdd(&run->argv, job->hostStage);
    SzArgsAdd(&run->argv, cwd);
    SzArgsAdd(&run->argv, job->engine->path);
    for (int i = 0; i < args->count; i++) {
        SzArgsAdd(&run->argv, SzArgsAt(args, i));
    }
    run->vector = run->argv.failed ? NULL : SzArgsVector(&run->argv, 0, NULL);
    if (run->vector == NULL) {
        return false;
    }
    job->waitHandle = CreateThread(NULL, 0, SpawnThread, job, 0, NULL);
    return job->waitHandle != NULL;
}

static void Stop(SzJob* job, bool hard) {
    // Until the shell has written its number there is nothing to signal yet;
    // the caller simply tries again.
    char pid[MAX_PATH * 3 + 16];
    ZeroMemory(pid, sizeof(pid));
    StringCchPrintfA(pid, sizeof(pid), "%s/%d.pid", job->folder->host, job->number);
    SzHostShell(hard ? "p=$(cat \"$1\" 2>/dev/null) && kill -KILL \"$p\""
                     : "p=$(cat \"$1\" 2>/dev/null) && kill -TERM \"$p\"",
                pid);
}

static int ExitCode(SzJob* job) {
    return job->exitCode;
}

static void Release(SzJob* job) {
    if (job->waitHandle != NULL) {
        CloseHandle(job->waitHandle);
        job->waitHandle = NULL;
    }
    SzWineRun* run = RunOf(job);
    if (run != NULL) {
        if (run->vector != NULL) {
            HeapFree(GetProcessHeap(), 0, run->vector);
        }
        SzArgsFree(&run->argv);
        HeapFree(GetProcessHeap(), 0, run);
        job->road = NULL;
    }
}

const SzBackend kSzWineBackend = {MakePrivate, Start, Stop, ExitCode, Release};
