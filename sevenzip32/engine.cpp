#include "sevenzip32/engine.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/pathmap.h"
#include "sevenzip32/quote.h"

typedef int(WINAPI* WineSpawnFn)(char* const argv[], int wait);

static WineSpawnFn SpawnFn() {
    return reinterpret_cast<WineSpawnFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "__wine_unix_spawnvp")));
}

static int Spawn(char* const* argv) {
    WineSpawnFn spawn = SpawnFn();
    return spawn != NULL ? spawn(argv, TRUE) : -1;
}

static int Shell(LPCSTR script, LPCSTR argument) {
    char* argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"),
                    const_cast<char*>(script),    const_cast<char*>("sh"),
                    const_cast<char*>(argument),  NULL};
    return Spawn(argv);
}

static void FilePath(const SzJob* job, LPCWSTR leaf, LPWSTR path) {
    ZeroMemory(path, MAX_PATH * sizeof(WCHAR));
    StringCchPrintfW(path, MAX_PATH, L"%s\\%s", job->dir, leaf);
}

// A folder only the user can enter, named afresh so nobody can prepare it.
static bool MakePrivateFolder(SzJob* job) {
    static LONG counter = 0;
    for (int attempt = 0; attempt < 8; attempt++) {
        LONG n = InterlockedIncrement(&counter);
        if (job->engine->wine) {
            ZeroMemory(job->hostDir, sizeof(job->hostDir));
            StringCchPrintfA(job->hostDir, sizeof(job->hostDir), "/tmp/7-zip32-%lu-%lu-%ld",
                             GetCurrentProcessId(), GetTickCount(), n);
            if (Shell("umask 077 && mkdir -m 700 \"$1\"", job->hostDir) == 0) {
                return SzWineWindowsPath(job->hostDir, job->dir, MAX_PATH);
            }
        } else {
            WCHAR temp[MAX_PATH];
            ZeroMemory(temp, sizeof(temp));
            ZeroMemory(job->dir, sizeof(job->dir));
            GetTempPathW(MAX_PATH, temp);
            StringCchPrintfW(job->dir, MAX_PATH, L"%s7-zip32-%lu-%lu-%ld", temp,
                             GetCurrentProcessId(), GetTickCount(), n);
            if (CreateDirectoryW(job->dir, NULL)) {
                return true;
            }
        }
    }
    return false;
}

static bool WritePasswordFile(const SzJob* job, LPCWSTR password) {
    char line[1024];
    ZeroMemory(line, sizeof(line));
    int bytes = WideCharToMultiByte(CP_UTF8, 0, password, -1, line, sizeof(line) - 2, NULL, NULL);
    if (bytes <= 0) {
        return false;
    }
    line[bytes - 1] = '\n';
    WCHAR path[MAX_PATH];
    FilePath(job, L"pw", path);
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
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
// engine's after exec) is left for cancelling.
static const char kRunScript[] =
    "d=$1; cd \"$2\" 2>/dev/null || cd /; shift 2; export LC_ALL=C.UTF-8; "
    "echo $$ >\"$d/pid\"; "
    "if [ -e \"$d/pw\" ]; then exec 3<\"$d/pw\"; rm -f \"$d/pw\"; "
    "exec \"$@\" <&3 3<&- >\"$d/out\" 2>\"$d/err\"; fi; "
    "exec \"$@\" </dev/null >\"$d/out\" 2>\"$d/err\"";

static DWORD WINAPI SpawnThread(void* parameter) {
    SzJob* job = static_cast<SzJob*>(parameter);
    InterlockedExchange(&job->exitCode, Spawn(job->vector));
    return 0;
}

static bool StartWine(SzJob* job, const SzArgs* args) {
    char cwd[MAX_PATH * 3];
    WCHAR current[MAX_PATH];
    ZeroMemory(cwd, sizeof(cwd));
    ZeroMemory(current, sizeof(current));
    GetCurrentDirectoryW(MAX_PATH, current);
    if (!SzWineHostPath(current, cwd, sizeof(cwd))) {
        StringCchCopyA(cwd, sizeof(cwd), "/");
    }
    char* leading[] = {const_cast<char*>("/bin/sh"),
                       const_cast<char*>("-c"),
                       const_cast<char*>(kRunScript),
                       const_cast<char*>("sh"),
                       job->hostDir,
                       cwd,
                       const_cast<char*>(job->engine->path)};
    char** vector = SzArgsVector(args, 7, leading);
    if (vector == NULL) {
        return false;
    }
    // The thread reads these strings only before the spawn returns; cwd must
    // outlive it, so the spawn is given copies that live in the job.
    size_t cwdBytes = strlen(cwd) + 1;
    char* cwdCopy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, cwdBytes));
    if (cwdCopy == NULL) {
        HeapFree(GetProcessHeap(), 0, vector);
        return false;
    }
    memcpy(cwdCopy, cwd, cwdBytes);
    vector[5] = cwdCopy;
    job->vector = vector;
    job->waitHandle = CreateThread(NULL, 0, SpawnThread, job, 0, NULL);
    return job->waitHandle != NULL;
}

static bool StartWindows(SzJob* job, const SzArgs* args, LPCWSTR password) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    WCHAR path[MAX_PATH];
    FilePath(job, L"out", path);
    HANDLE out = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    FilePath(job, L"err", path);
    HANDLE err = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    HANDLE inRead = NULL;
    HANDLE inWrite = NULL;
    bool ok = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
              CreatePipe(&inRead, &inWrite, &inherit, 4096);
    if (ok) {
        SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
        char line[1024];
        ZeroMemory(line, sizeof(line));
        int bytes = password == NULL ? 0
                                     : WideCharToMultiByte(CP_UTF8, 0, password, -1, line,
                                                           sizeof(line) - 2, NULL, NULL);
        if (bytes > 0) {
            line[bytes - 1] = '\n';
            DWORD written = 0;
            WriteFile(inWrite, line, static_cast<DWORD>(bytes), &written, NULL);
        }
        SecureZeroMemory(line, sizeof(line));
        CloseHandle(inWrite);
    }
    LPSTR utf8 = NULL;
    LPWSTR wide = NULL;
    if (ok) {
        WCHAR program[MAX_PATH];
        char programUtf8[MAX_PATH * 3];
        ZeroMemory(program, sizeof(program));
        ZeroMemory(programUtf8, sizeof(programUtf8));
        MultiByteToWideChar(CP_ACP, 0, job->engine->path, -1, program, MAX_PATH);
        WideCharToMultiByte(CP_UTF8, 0, program, -1, programUtf8, sizeof(programUtf8), NULL, NULL);
        utf8 = SzJoinCommandLine(programUtf8, args);
        int chars = utf8 != NULL ? MultiByteToWideChar(CP_UTF8, 0, utf8, -1, NULL, 0) : 0;
        wide = chars > 0 ? static_cast<LPWSTR>(
                               HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, chars * sizeof(WCHAR)))
                         : NULL;
        ok = wide != NULL && MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, chars) > 0;
    }
    if (ok) {
        STARTUPINFOW startup;
        PROCESS_INFORMATION info;
        ZeroMemory(&startup, sizeof(startup));
        ZeroMemory(&info, sizeof(info));
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inRead;
        startup.hStdOutput = out;
        startup.hStdError = err;
        ok = CreateProcessW(NULL, wide, NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL, &startup,
                            &info) != FALSE;
        if (ok) {
            CloseHandle(info.hThread);
            job->process = info.hProcess;
            job->waitHandle = info.hProcess;
        }
    }
    if (utf8 != NULL) {
        HeapFree(GetProcessHeap(), 0, utf8);
    }
    if (wide != NULL) {
        HeapFree(GetProcessHeap(), 0, wide);
    }
    if (inRead != NULL) {
        CloseHandle(inRead);
    }
    if (out != INVALID_HANDLE_VALUE) {
        CloseHandle(out);
    }
    if (err != INVALID_HANDLE_VALUE) {
        CloseHandle(err);
    }
    return ok;
}

bool SzStartJob(SzJob* job, const SzEngineInfo* engine, const SzArgs* args, LPCWSTR password) {
    ZeroMemory(job, sizeof(*job));
    job->engine = engine;
    job->exitCode = -1;
    job->output = INVALID_HANDLE_VALUE;
    SzConsoleInit(&job->console);
    if (!MakePrivateFolder(job)) {
        return false;
    }
    if (engine->wine) {
        if (password != NULL && !WritePasswordFile(job, password)) {
            return false;
        }
        return StartWine(job, args);
    }
    return StartWindows(job, args, password);
}

static void ReadMore(HANDLE file, SzConsole* console) {
    char buffer[16384];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, NULL) && got > 0) {
        SzConsoleFeed(console, buffer, got);
    }
}

void SzPollJob(SzJob* job) {
    if (job->output == INVALID_HANDLE_VALUE) {
        WCHAR path[MAX_PATH];
        FilePath(job, L"out", path);
        job->output =
            CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    }
    if (job->output != INVALID_HANDLE_VALUE) {
        ReadMore(job->output, &job->console);
    }
}

void SzCancelJob(SzJob* job) {
    job->cancelled = true;
    if (job->process != NULL) {
        TerminateProcess(job->process, 255);
        return;
    }
    if (job->waitHandle == NULL) {
        return;
    }
    // The shell writes its number first thing; give it a moment to start.
    WCHAR path[MAX_PATH];
    FilePath(job, L"pid", path);
    for (int i = 0; i < 100 && GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES; i++) {
        if (WaitForSingleObject(job->waitHandle, 20) == WAIT_OBJECT_0) {
            return;
        }
    }
    Shell("kill -TERM \"$(cat \"$1/pid\")\" 2>/dev/null", job->hostDir);
}

int SzFinishJob(SzJob* job, SzConsole* errors) {
    int exitCode = -1;
    if (job->waitHandle != NULL) {
        WaitForSingleObject(job->waitHandle, INFINITE);
        SzPollJob(job);
        if (job->process != NULL) {
            DWORD code = 0;
            GetExitCodeProcess(job->process, &code);
            exitCode = static_cast<int>(code);
        } else {
            exitCode = job->exitCode;
        }
        CloseHandle(job->waitHandle);
        job->waitHandle = NULL;
        job->process = NULL;
    }
    if (job->output != INVALID_HANDLE_VALUE) {
        CloseHandle(job->output);
        job->output = INVALID_HANDLE_VALUE;
    }
    if (job->dir[0] != L'\0') {
        WCHAR path[MAX_PATH];
        FilePath(job, L"err", path);
        HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            if (errors != NULL) {
                ReadMore(file, errors);
            }
            CloseHandle(file);
        }
    }
    if (job->engine != NULL && job->engine->wine && job->hostDir[0] != '\0') {
        Shell("rm -rf \"$1\"", job->hostDir);
    } else if (job->dir[0] != L'\0') {
        static const LPCWSTR kLeaves[] = {L"out", L"err", L"pw", L"pid"};
        WCHAR path[MAX_PATH];
        for (size_t i = 0; i < sizeof(kLeaves) / sizeof(kLeaves[0]); i++) {
            FilePath(job, kLeaves[i], path);
            DeleteFileW(path);
        }
        RemoveDirectoryW(job->dir);
    }
    if (job->vector != NULL) {
        HeapFree(GetProcessHeap(), 0, job->vector[5]);
        HeapFree(GetProcessHeap(), 0, job->vector);
        job->vector = NULL;
    }
    return exitCode;
}

int SzRunEngine(const SzEngineInfo* engine, const SzArgs* args, LPCWSTR password, SzConsole* output,
                SzConsole* errors) {
    SzJob job;
    int exitCode = -1;
    if (SzStartJob(&job, engine, args, password)) {
        exitCode = SzFinishJob(&job, errors);
    } else {
        SzFinishJob(&job, errors);
    }
    if (output != NULL) {
        SzConsoleFeed(output, SzConsoleText(&job.console), strlen(SzConsoleText(&job.console)));
    }
    SzConsoleFree(&job.console);
    return exitCode;
}

// The answer goes to a file in a fresh private folder, read back and deleted.
static const char kAskScript[] =
    "d=$1; { exec </dev/tty >/dev/tty; } 2>/dev/null || exit 2; "
    "old=$(stty -g); stty -echo; printf '%s' \"$2\"; IFS= read -r p; stty \"$old\"; "
    "printf '\\n'; [ -n \"$p\" ] || exit 3; printf '%s' \"$p\" >\"$d/pw\"";

bool SzAskOnHostTerminal(LPCSTR promptUtf8, LPWSTR answer, int answerChars) {
    SzEngineInfo host;
    ZeroMemory(&host, sizeof(host));
    host.wine = true;
    SzJob job;
    ZeroMemory(&job, sizeof(job));
    job.engine = &host;
    if (SpawnFn() == NULL || !MakePrivateFolder(&job)) {
        return false;
    }
    char* argv[] = {const_cast<char*>("/bin/sh"),
                    const_cast<char*>("-c"),
                    const_cast<char*>(kAskScript),
                    const_cast<char*>("sh"),
                    job.hostDir,
                    const_cast<char*>(promptUtf8),
                    NULL};
    bool ok = Spawn(argv) == 0;
    char line[1024];
    ZeroMemory(line, sizeof(line));
    ZeroMemory(answer, answerChars * sizeof(WCHAR));
    if (ok) {
        WCHAR path[MAX_PATH];
        FilePath(&job, L"pw", path);
        HANDLE file = CreateFileW(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        DWORD got = 0;
        ok = file != INVALID_HANDLE_VALUE && ReadFile(file, line, sizeof(line) - 1, &got, NULL) &&
             got > 0;
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
        ok = ok && MultiByteToWideChar(CP_UTF8, 0, line, -1, answer, answerChars - 1) > 0;
    }
    SecureZeroMemory(line, sizeof(line));
    Shell("rm -rf \"$1\"", job.hostDir);
    return ok;
}
