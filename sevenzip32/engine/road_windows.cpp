// The Windows road: 7z.exe through CreateProcessW, its output streams in files
// of a private folder under the temporary folder, the password on a pipe, and
// a job object that ends the engine when the caller's last handle closes.
#include <windows.h>

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/engine/engine.h"
#include "sevenzip32/engine/road.h"
#include "sevenzip32/engine/quote.h"

static bool MakePrivate(SzPrivate* folder) {
    static LONG counter = 0;
    WCHAR temp[MAX_PATH];
    ZeroMemory(temp, sizeof(temp));
    GetTempPathW(MAX_PATH, temp);
    for (int attempt = 0; attempt < 8; attempt++) {
        ZeroMemory(folder->dir, sizeof(folder->dir));
        StringCchPrintfW(folder->dir, MAX_PATH, L"%s7-zip32-%lu-%lu-%ld", temp,
                         GetCurrentProcessId(), GetTickCount(), InterlockedIncrement(&counter));
        if (CreateDirectoryW(folder->dir, NULL)) {
            WideCharToMultiByte(CP_UTF8, 0, folder->dir, -1, folder->host, sizeof(folder->host),
                                NULL, NULL);
            return true;
        }
    }
    ZeroMemory(folder->dir, sizeof(folder->dir));
    return false;
}

static HANDLE CreateStream(const SzJob* job, LPCWSTR leaf, SECURITY_ATTRIBUTES* inherit) {
    WCHAR path[MAX_PATH];
    SzJobFile(job, leaf, path);
    return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, inherit, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

// The command line in UTF-16, on the heap (HeapFree), or NULL.
static LPWSTR CommandLine(const SzJob* job, const SzArgs* args) {
    WCHAR program[MAX_PATH];
    char programUtf8[MAX_PATH * 3];
    ZeroMemory(program, sizeof(program));
    ZeroMemory(programUtf8, sizeof(programUtf8));
    MultiByteToWideChar(CP_UTF8, 0, job->engine->path, -1, program, MAX_PATH);
    WideCharToMultiByte(CP_UTF8, 0, program, -1, programUtf8, sizeof(programUtf8), NULL, NULL);
    LPSTR utf8 = SzJoinCommandLine(programUtf8, args);
    int chars = utf8 != NULL ? MultiByteToWideChar(CP_UTF8, 0, utf8, -1, NULL, 0) : 0;
    LPWSTR wide = chars > 0 ? static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                            chars * sizeof(WCHAR)))
                            : NULL;
    if (wide != NULL && MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, chars) <= 0) {
        HeapFree(GetProcessHeap(), 0, wide);
        wide = NULL;
    }
    if (utf8 != NULL) {
        HeapFree(GetProcessHeap(), 0, utf8);
    }
    return wide;
}

// A job object that kills whatever is in it once its last handle closes, as
// happens when the caller's process ends.
static HANDLE KillOnCloseJob() {
    HANDLE jobObject = CreateJobObjectW(NULL, NULL);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof(limits));
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (jobObject != NULL && !SetInformationJobObject(jobObject, JobObjectExtendedLimitInformation,
                                                      &limits, sizeof(limits))) {
        CloseHandle(jobObject);
        jobObject = NULL;
    }
    return jobObject;
}

// The engine's process and the job object that ends it with its caller.
struct SzWindowsRun {
    HANDLE process;
    HANDLE jobObject;
};

static SzWindowsRun* RunOf(SzJob* job) {
    return static_cast<SzWindowsRun*>(job->road);
}

static bool Start(SzJob* job, const SzArgs* args, LPCWSTR password) {
    SzWindowsRun* run = static_cast<SzWindowsRun*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SzWindowsRun)));
    job->road = run;
    if (run == NULL) {
        return false;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE out = CreateStream(job, L"out", &inherit);
    HANDLE err = CreateStream(job, L"err", &inherit);
    HANDLE inRead = NULL;
    HANDLE inWrite = NULL;
    LPWSTR commandLine = CommandLine(job, args);
    run->jobObject = KillOnCloseJob();
    bool ok = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE && commandLine != NULL &&
              run->jobObject != NULL && CreatePipe(&inRead, &inWrite, &inherit, 4096);
    if (ok) {
        SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
        char line[1024];
        int bytes = SzPasswordLine(password, line, sizeof(line));
        DWORD written = 0;
        if (bytes > 0) {
            WriteFile(inWrite, line, static_cast<DWORD>(bytes), &written, NULL);
        }
        SecureZeroMemory(line, sizeof(line));
        CloseHandle(inWrite);
        STARTUPINFOW startup;
        PROCESS_INFORMATION info;
        ZeroMemory(&startup, sizeof(startup));
        ZeroMemory(&info, sizeof(info));
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inRead;
        startup.hStdOutput = out;
        startup.hStdError = err;
        // Suspended until it is in the job, so no moment exists where it could
        // outlive us. Its streams are files and a pipe, so it needs no console:
        // detached, none is made for it (under Wine a console host process
        // would double the cost of every start).
        ok =
            CreateProcessW(NULL, commandLine, NULL, NULL, TRUE, DETACHED_PROCESS | CREATE_SUSPENDED,
                           NULL, NULL, &startup, &info) != FALSE;
        if (ok) {
            if (!AssignProcessToJobObject(run->jobObject, info.hProcess)) {
                TerminateProcess(info.hProcess, 255);
                ok = false;
            } else {
                ResumeThread(info.hThread);
            }
            CloseHandle(info.hThread);
            run->process = info.hProcess;
            job->waitHandle = info.hProcess;
        }
    }
    if (commandLine != NULL) {
        HeapFree(GetProcessHeap(), 0, commandLine);
    }
    HANDLE opened[] = {inRead, out, err};
    for (HANDLE handle : opened) {
        if (handle != NULL && handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    return ok;
}

static void Stop(SzJob* job, bool) {
    TerminateProcess(RunOf(job)->process, 255);
}

static int ExitCode(SzJob* job) {
    DWORD code = 0;
    GetExitCodeProcess(RunOf(job)->process, &code);
    return static_cast<int>(code);
}

static void Release(SzJob* job) {
    SzWindowsRun* run = RunOf(job);
    if (run != NULL) {
        if (run->process != NULL) {
            CloseHandle(run->process);
        }
        if (run->jobObject != NULL) {
            CloseHandle(run->jobObject);
        }
        HeapFree(GetProcessHeap(), 0, run);
    }
    job->road = NULL;
    job->waitHandle = NULL;
}

const SzBackend kSzWindowsBackend = {MakePrivate, Start, Stop, ExitCode, Release};
