#include "sevenzip32/engine.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/pathmap.h"

typedef int(WINAPI* WineSpawnFn)(char* const argv[], int wait);

static WineSpawnFn SpawnFn() {
    return reinterpret_cast<WineSpawnFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "__wine_unix_spawnvp")));
}

// Host places of the engine, in the order they are tried.
static const LPCSTR kHostEngines[] = {"/usr/bin/7zz", "/usr/local/bin/7zz", "/usr/bin/7z"};

static bool HostFileExists(LPCSTR hostPath) {
    WCHAR windowsPath[MAX_PATH * 2];
    ZeroMemory(windowsPath, sizeof(windowsPath));
    if (!SzWineWindowsPath(hostPath, windowsPath, MAX_PATH * 2)) {
        return false;
    }
    DWORD attributes = GetFileAttributesW(windowsPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static bool WindowsEngine(SzEngineInfo* engine) {
    char path[MAX_PATH + 1];
    ZeroMemory(path, sizeof(path));
    HMODULE self = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&WindowsEngine), &self);
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        LPSTR leaf = path;
        for (LPSTR p = path; *p != '\0'; p = CharNextA(p)) {
            if (*p == '\\') {
                leaf = p + 1;
            }
        }
        *leaf = '\0';
        StringCchCatA(path, sizeof(path), "7z.exe");
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return SUCCEEDED(StringCchCopyA(engine->path, sizeof(engine->path), path));
        }
    }
    ZeroMemory(path, sizeof(path));
    length = SearchPathA(NULL, "7z.exe", NULL, MAX_PATH, path, NULL);
    return length > 0 && length < MAX_PATH &&
           SUCCEEDED(StringCchCopyA(engine->path, sizeof(engine->path), path));
}

bool SzFindEngine(SzEngineInfo* engine) {
    ZeroMemory(engine, sizeof(*engine));
    engine->wine = SzIsWine() && SpawnFn() != NULL;
    char chosen[SZ_ENGINE_PATH_BYTES];
    ZeroMemory(chosen, sizeof(chosen));
    DWORD length = GetEnvironmentVariableA(SZ_ENGINE_VARIABLE, chosen, sizeof(chosen));
    if (length > 0 && length < sizeof(chosen)) {
        bool exists = engine->wine ? HostFileExists(chosen)
                                   : GetFileAttributesA(chosen) != INVALID_FILE_ATTRIBUTES;
        return exists && SUCCEEDED(StringCchCopyA(engine->path, sizeof(engine->path), chosen));
    }
    if (!engine->wine) {
        return WindowsEngine(engine);
    }
    for (size_t i = 0; i < sizeof(kHostEngines) / sizeof(kHostEngines[0]); i++) {
        if (HostFileExists(kHostEngines[i])) {
            return SUCCEEDED(StringCchCopyA(engine->path, sizeof(engine->path), kHostEngines[i]));
        }
    }
    return false;
}

static const SzBackend* BackendOf(const SzJob* job) {
    return job->engine->wine ? &kSzWineBackend : &kSzWindowsBackend;
}

void SzJobFile(const SzJob* job, LPCWSTR leaf, LPWSTR path) {
    ZeroMemory(path, MAX_PATH * sizeof(WCHAR));
    StringCchPrintfW(path, MAX_PATH, L"%s\\%s", job->dir, leaf);
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

bool SzStartJob(SzJob* job, const SzEngineInfo* engine, const SzArgs* args, const SzArgs* names,
                LPCSTR stage, LPCWSTR password) {
    ZeroMemory(job, sizeof(*job));
    job->engine = engine;
    job->exitCode = -1;
    job->output = INVALID_HANDLE_VALUE;
    SzConsoleInit(&job->console);
    if (stage != NULL) {
        StringCchCopyA(job->hostStage, sizeof(job->hostStage), stage);
    }
    if (!BackendOf(job)->makePrivate(job)) {
        return false;
    }
    if (names == NULL || names->count == 0) {
        return BackendOf(job)->start(job, args, password);
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
    StringCchPrintfA(list, sizeof(list), "@%s%clist", job->hostDir, engine->wine ? '/' : '\\');
    SzArgsAdd(&all, list);
    bool ok =
        !all.failed && WriteListFile(job, names) && BackendOf(job)->start(job, &all, password);
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

// Leaves of the private folder, each removed by name so that nothing else
// there is ever touched.
static const LPCWSTR kJobFiles[] = {L"out", L"err", L"pw", L"pid", L"list", L"answer"};

int SzFinishJob(SzJob* job, SzConsole* errors) {
    int exitCode = -1;
    if (job->waitHandle != NULL) {
        WaitForSingleObject(job->waitHandle, INFINITE);
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
    if (job->madeDir) {
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
        RemoveDirectoryW(job->dir);
        job->madeDir = false;
    }
    return exitCode;
}

int SzRunEngine(const SzEngineInfo* engine, const SzArgs* args, LPCWSTR password, SzConsole* output,
                SzConsole* errors) {
    SzJob job;
    int exitCode = -1;
    if (SzStartJob(&job, engine, args, NULL, NULL, password)) {
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

bool SzEngineBanner(const SzEngineInfo* engine, LPSTR banner, int bannerBytes) {
    SzArgs args;
    SzArgsInit(&args);
    SzArgsAdd(&args, "i");
    SzConsole output;
    SzConsoleInit(&output);
    int exitCode = SzRunEngine(engine, &args, NULL, &output, NULL);
    bool found = false;
    for (LPCSTR line = SzConsoleText(&output); exitCode >= 0 && line != NULL && *line != '\0';) {
        LPCSTR end = strchr(line, '\n');
        size_t n = end != NULL ? static_cast<size_t>(end - line) : strlen(line);
        if (n > 0 && strncmp(line, "7-Zip", 5) == 0) {
            if (n >= static_cast<size_t>(bannerBytes)) {
                n = static_cast<size_t>(bannerBytes) - 1;
            }
            memcpy(banner, line, n);
            banner[n] = '\0';
            found = true;
            break;
        }
        line = end != NULL ? end + 1 : NULL;
    }
    SzConsoleFree(&output);
    SzArgsFree(&args);
    return found;
}
