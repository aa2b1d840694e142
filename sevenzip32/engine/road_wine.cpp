// The Wine road: the host engine started through ntdll's spawn export under
// /bin/sh, its streams in files of a private folder that the Windows side
// reads through the Z: drive, and a watcher that ends it with its caller.
#include <windows.h>

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/engine/engine.h"
#include "sevenzip32/engine/road.h"
#include "sevenzip32/base/wine.h"

// The job's own private folder, which only its files ever enter.
static bool MakePrivate(SzJob* job) {
    job->madeDir = SzHostPrivateFolder(job->hostDir, sizeof(job->hostDir), job->dir, MAX_PATH);
    return job->madeDir;
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

// The shell gives the engine its streams: the password file is opened and
// deleted before the engine starts, and the shell's process number (the
// engine's after exec) is left for cancelling. A watcher in the background
// ends the engine and removes the private and staging folders when the
// caller's process is gone (ended, or a zombie nobody reaps yet). It lives
// while the engine does, and after it as long as the staging folder is there,
// so that a caller ending while it places entries leaves nothing behind. The
// engine is the watcher's parent: a process number taken over by another
// program after the engine ended is never signalled. Only the engine carries
// SEVENZIP32_JOB, so that whoever ends engines can tell it from the watcher.
static const char kRunScript[] =
    "d=$1; w=$2; cd \"$3\" 2>/dev/null || cd /; shift 3; export LC_ALL=C.UTF-8; "
    "c=$PPID; e=$$; "
    "( exec </dev/null >/dev/null 2>&1; "
    "engine() { read -r m </proc/self/stat; set -- $m; [ \"$4\" = \"$e\" ]; }; "
    "while engine || { [ -n \"$w\" ] && [ -d \"$w\" ]; }; do s=; read -r s </proc/$c/stat; "
    "case \"$s\" in ''|*') Z '*) if engine; then kill -TERM $e; sleep 1; "
    "engine && kill -KILL $e; fi; rm -rf \"$d\"; [ -z \"$w\" ] || rm -rf \"$w\"; exit;; esac; "
    "sleep 0.5; done ) & "
    "echo $$ >\"$d/pid\"; export SEVENZIP32_JOB=\"$d\"; "
    "if [ -e \"$d/pw\" ]; then exec 3<\"$d/pw\"; rm -f \"$d/pw\"; "
    "exec \"$@\" <&3 3<&- >\"$d/out\" 2>\"$d/err\"; fi; "
    "exec \"$@\" </dev/null >\"$d/out\" 2>\"$d/err\"";

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
    SzArgsAdd(&run->argv, job->hostDir);
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
    SzHostShell(hard ? "p=$(cat \"$1/pid\" 2>/dev/null) && kill -KILL \"$p\""
                     : "p=$(cat \"$1/pid\" 2>/dev/null) && kill -TERM \"$p\"",
                job->hostDir);
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
