#include "sevenzip32/engine/engine.h"

#include "sevenzip32/base/trace.h"
#include "sevenzip32/engine/road.h"

#include <string.h>
#include <strsafe.h>

static const SzBackend* BackendFor(const SzEngineInfo* engine) {
    return engine->wine ? &kSzWineBackend : &kSzWindowsBackend;
}

static const SzBackend* BackendOf(const SzJob* job) {
    return BackendFor(job->engine);
}

void SzJobFile(const SzJob* job, LPCWSTR leaf, LPWSTR path) {
    ZeroMemory(path, MAX_PATH * sizeof(WCHAR));
    StringCchPrintfW(path, MAX_PATH, L"%s\\%d.%s", job->folder->dir, job->number, leaf);
}

bool SzOpenPrivate(SzPrivate* folder, const SzEngineInfo* engine) {
    if (!folder->made) {
        folder->made = BackendFor(engine)->makePrivate(folder);
        SzTrace("private folder made");
    }
    return folder->made;
}

void SzPrivateFile(SzPrivate* folder, LPCSTR leaf, LPSTR host, int hostBytes, LPWSTR path) {
    int number = ++folder->runs;
    ZeroMemory(host, hostBytes);
    ZeroMemory(path, MAX_PATH * sizeof(WCHAR));
    WCHAR wide[32];
    ZeroMemory(wide, sizeof(wide));
    MultiByteToWideChar(CP_UTF8, 0, leaf, -1, wide, 31);
    StringCchPrintfA(host, hostBytes, "%s/%d.%s", folder->host, number, leaf);
    StringCchPrintfW(path, MAX_PATH, L"%s\\%d.%s", folder->dir, number, wide);
}

void SzClosePrivate(SzPrivate* folder) {
    if (folder->made) {
        RemoveDirectoryW(folder->dir);
        folder->made = false;
        SzTrace("private folder removed");
    }
}

int SzPasswordLine(LPCWSTR password, LPSTR line, int lineBytes) {
    ZeroMemory(line, lineBytes);
    int bytes = password == NULL ? 0
                                 : WideCharToMultiByte(CP_UTF8, 0, password, -1, line,
                                                       lineBytes - 2, NULL, NULL);
    if (bytes <= 0) {
        return 0;
    }
    line[bytes - 1] = '\n';
    return bytes;
}

// One name a line, written in one pass: 50,000 names cost no more than their bytes.
static bool WriteListFile(const SzJob* job, const SzArgs* names) {
    WCHAR path[MAX_PATH];
    SzJobFile(job, L"list", path);
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    // The strings are NUL-separated already: each NUL becomes a line end.
    char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, names->used + 1));
    bool ok = text != NULL;
    DWORD written = 0;
    if (ok) {
        memcpy(text, names->text, names->used);
        for (size_t i = 0; i < names->used; i++) {
            if (text[i] == '\0') {
                text[i] = '\n';
            }
        }
        ok = WriteFile(file, text, static_cast<DWORD>(names->used), &written, NULL) &&
             written == names->used;
        HeapFree(GetProcessHeap(), 0, text);
    }
    CloseHandle(file);
    return ok;
}

bool SzStartJob(SzJob* job, const SzEngineInfo* engine, SzPrivate* folder, const SzArgs* args,
                const SzArgs* names, LPCSTR stage, LPCWSTR password) {
    ZeroMemory(job, sizeof(*job));
    job->engine = engine;
    job->folder = folder != NULL ? folder : &job->own;
    job->exitCode = -1;
    job->output = INVALID_HANDLE_VALUE;
    SzConsoleInit(&job->console);
    if (stage != NULL) {
        StringCchCopyA(job->hostStage, sizeof(job->hostStage), stage);
    }
    // The run's name in the trace: the engine's command, or the program.
    LPCSTR verb =
        SzArgsAt(args, 0) != NULL && SzArgsAt(args, 0)[0] != '-' ? SzArgsAt(args, 0) : engine->path;
    StringCchCopyA(job->verb, sizeof(job->verb), verb != NULL ? verb : "");
    if (!SzOpenPrivate(job->folder, engine)) {
        return false;
    }
    job->number = ++job->folder->runs;
    if (names == NULL || names->count == 0) {
        bool started = BackendOf(job)->start(job, args, password);
        SzTrace("engine started", job->verb);
        return started;
    }
    // The names follow the archive as "@list"; no name ever meets the
    // process argument limit or the engine's own parsing of arguments.
    SzArgs all;
    SzArgsInit(&all);
    for (int i = 0; i < args->count; i++) {
        SzArgsAdd(&all, SzArgsAt(args, i));
    }
    char list[MAX_PATH * 3 + 8];
    ZeroMemory(list, sizeof(list));
    StringCchPrintfA(list, sizeof(list), "@%s%c%d.list", job->folder->host,
                     engine->wine ? '/' : '\\', job->number);
    SzArgsAdd(&all, list);
    bool ok =
        !all.failed && WriteListFile(job, names) && BackendOf(job)->start(job, &all, password);
    SzTrace("engine started", job->verb);
    SzArgsFree(&all);
    return ok;
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
        SzJobFile(job, L"out", path);
        job->output =
            CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    }
    if (job->output != INVALID_HANDLE_VALUE) {
        ReadMore(job->output, &job->console);
    }
}

// Gentle attempts first (the engine removes what it was writing), then hard ones.
#define SZ_GENTLE_STOPS 3

void SzCancelJob(SzJob* job) {
    job->cancelled = true;
    if (job->waitHandle == NULL || WaitForSingleObject(job->waitHandle, 0) == WAIT_OBJECT_0) {
        return;
    }
    job->lastStop = GetTickCount();
    BackendOf(job)->stop(job, job->stopAttempts >= SZ_GENTLE_STOPS);
    job->stopAttempts++;
}

// The job's files, each removed by name so that nothing else in the private
// folder is ever touched.
static const LPCWSTR kJobFiles[] = {L"out", L"err", L"pw", L"pid", L"list"};

int SzFinishJob(SzJob* job, SzConsole* errors) {
    int exitCode = -1;
    if (job->waitHandle != NULL) {
        WaitForSingleObject(job->waitHandle, INFINITE);
        SzTrace("engine ended", job->verb);
        SzPollJob(job);
        exitCode = BackendOf(job)->exitCode(job);
    }
    if (job->engine != NULL) {
        BackendOf(job)->release(job);
    }
    if (job->output != INVALID_HANDLE_VALUE) {
        CloseHandle(job->output);
        job->output = INVALID_HANDLE_VALUE;
    }
    if (job->number > 0) {
        WCHAR path[MAX_PATH];
        SzJobFile(job, L"err", path);
        HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            if (errors != NULL) {
                ReadMore(file, errors);
            }
            CloseHandle(file);
        }
        for (size_t i = 0; i < sizeof(kJobFiles) / sizeof(kJobFiles[0]); i++) {
            SzJobFile(job, kJobFiles[i], path);
            DeleteFileW(path);
        }
        job->number = 0;
    }
    SzClosePrivate(&job->own);
    return exitCode;
}

int SzRunEngine(const SzEngineInfo* engine, const SzArgs* args, LPCWSTR password, SzConsole* output,
                SzConsole* errors) {
    SzJob job;
    int exitCode = -1;
    if (SzStartJob(&job, engine, NULL, args, NULL, NULL, password)) {
        // Nothing was read yet: a raw output takes the engine's bytes whole.
        job.console.raw = output != NULL && output->raw;
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
