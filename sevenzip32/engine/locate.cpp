#include "sevenzip32/engine/locate.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/base/codepage.h"
#include "sevenzip32/engine/engine.h"
#include "sevenzip32/engine/pathmap.h"

static const char kWindowsEngine[] = "7z.exe";

// Host places of the engine, in the order they are tried.
static const LPCSTR kHostEngines[] = {"/usr/bin/7zz", "/usr/local/bin/7zz", "/usr/bin/7z"};

// Where 7-Zip's installer records its folder, in the order they are tried:
// the machine's 64-bit install, its 32-bit one, then the user's.
static const struct {
    HKEY root;
    REGSAM view;
    LPCSTR value;
} kInstallRecords[] = {
    {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "Path64"},
    {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "Path"},
    {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, "Path"},
    {HKEY_CURRENT_USER, 0, "Path64"},
    {HKEY_CURRENT_USER, 0, "Path"},
};

enum Road { ROAD_UNKNOWN, ROAD_HOST, ROAD_WINDOWS };
static volatile LONG g_road = ROAD_UNKNOWN;

static bool IsFile(LPCSTR path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static bool HostFileExists(LPCSTR hostPath) {
    WCHAR windowsPath[MAX_PATH * 2];
    ZeroMemory(windowsPath, sizeof(windowsPath));
    if (!SzWineWindowsPath(hostPath, windowsPath, MAX_PATH * 2)) {
        return false;
    }
    DWORD attributes = GetFileAttributesW(windowsPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// An environment variable in code page 932. Wine's GetEnvironmentVariableA
// cuts a value short by one byte per double-byte character, so the value is
// read wide and converted here. 0 when unset or too long for the buffer.
static DWORD Environment(LPCWSTR name, LPSTR value, DWORD valueBytes) {
    ZeroMemory(value, valueBytes);
    DWORD chars = GetEnvironmentVariableW(name, NULL, 0);
    LPWSTR wide = chars > 0 ? static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                            chars * sizeof(WCHAR)))
                            : NULL;
    int bytes = 0;
    if (wide != NULL && GetEnvironmentVariableW(name, wide, chars) < chars) {
        bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, value, static_cast<int>(valueBytes) - 1,
                                    NULL, NULL);
    }
    if (wide != NULL) {
        HeapFree(GetProcessHeap(), 0, wide);
    }
    return bytes > 1 ? static_cast<DWORD>(bytes - 1) : 0;
}

// The engine's path is kept in UTF-8 on both roads; found paths come in
// the caller's code page unless they are the host's own.
static bool Keep(SzEngineInfo* engine, LPCSTR path, bool ansi = true) {
    return ansi ? SzAnsiToUtf8(path, engine->path, sizeof(engine->path))
                : SUCCEEDED(StringCchCopyA(engine->path, sizeof(engine->path), path));
}

// Only a drive or a share counts: a relative folder (".", "bin", an empty
// PATH entry) would be looked up from the current folder, where a downloaded
// archive may have brought its own 7z.exe.
static bool IsFullFolder(LPCSTR folder) {
    bool drive = ((folder[0] | 0x20) >= 'a' && (folder[0] | 0x20) <= 'z') && folder[1] == ':' &&
                 (folder[2] == '\\' || folder[2] == '/');
    return drive || (folder[0] == '\\' && folder[1] == '\\');
}

// folder\7z.exe when that file exists; the folder may be quoted and may end
// in a separator.
static bool TryFolder(SzEngineInfo* engine, LPCSTR folder, size_t folderBytes) {
    char path[MAX_PATH + 1];
    ZeroMemory(path, sizeof(path));
    if (folderBytes >= 2 && folder[0] == '"' && folder[folderBytes - 1] == '"') {
        folder++;
        folderBytes -= 2;
    }
    if (folderBytes == 0 || folderBytes >= MAX_PATH - sizeof(kWindowsEngine) - 1) {
        return false;
    }
    memcpy(path, folder, folderBytes);
    if (!IsFullFolder(path)) {
        return false;
    }
    bool endsInSeparator = false;
    for (LPCSTR p = path; *p != '\0'; p = CharNextA(p)) {
        endsInSeparator = *p == '\\' || *p == '/';
    }
    StringCchCatA(path, sizeof(path), endsInSeparator ? "" : "\\");
    StringCchCatA(path, sizeof(path), kWindowsEngine);
    return IsFile(path) && Keep(engine, path);
}

static bool BesideLibrary(SzEngineInfo* engine) {
    char path[MAX_PATH + 1];
    ZeroMemory(path, sizeof(path));
    HMODULE self = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&BesideLibrary), &self);
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    LPCSTR leaf = path;
    for (LPCSTR p = path; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\') {
            leaf = p + 1;
        }
    }
    return TryFolder(engine, path, static_cast<size_t>(leaf - path));
}

static bool InInstallFolder(SzEngineInfo* engine) {
    for (size_t i = 0; i < sizeof(kInstallRecords) / sizeof(kInstallRecords[0]); i++) {
        HKEY key = NULL;
        if (RegOpenKeyExA(kInstallRecords[i].root, "SOFTWARE\\7-Zip", 0,
                          KEY_QUERY_VALUE | kInstallRecords[i].view, &key) != ERROR_SUCCESS) {
            continue;
        }
        char folder[MAX_PATH + 1];
        ZeroMemory(folder, sizeof(folder));
        DWORD type = 0;
        DWORD bytes = MAX_PATH;
        LONG status = RegQueryValueExA(key, kInstallRecords[i].value, NULL, &type,
                                       reinterpret_cast<BYTE*>(folder), &bytes);
        RegCloseKey(key);
        if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) &&
            TryFolder(engine, folder, strlen(folder))) {
            return true;
        }
    }
    return false;
}

static bool OnPath(SzEngineInfo* engine) {
    // A PATH holds at most 32767 characters, each at most two bytes here.
    const DWORD bytes = 65536;
    LPSTR list = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (list == NULL) {
        return false;
    }
    bool found = false;
    if (Environment(L"PATH", list, bytes) > 0) {
        LPCSTR entry = list;
        for (LPCSTR p = list; !found; p = CharNextA(p)) {
            if (*p == ';' || *p == '\0') {
                found = TryFolder(engine, entry, static_cast<size_t>(p - entry));
                entry = p + 1;
            }
            if (*p == '\0') {
                break;
            }
        }
    }
    HeapFree(GetProcessHeap(), 0, list);
    return found;
}

static bool FindWindowsEngine(SzEngineInfo* engine) {
    engine->wine = false;
    return BesideLibrary(engine) || InInstallFolder(engine) || OnPath(engine);
}

// The host road needs Wine's spawn export; the switch can still refuse it.
static bool HostRoadOpen() {
    char road[16];
    ZeroMemory(road, sizeof(road));
    Environment(SZ_ROAD_VARIABLE_W, road, sizeof(road));
    return SzIsWine() && lstrcmpiA(road, "windows") != 0 &&
           GetProcAddress(GetModuleHandleA("ntdll"), "__wine_unix_spawnvp") != NULL;
}

static bool FindHostEngine(SzEngineInfo* engine) {
    engine->wine = true;
    for (size_t i = 0; i < sizeof(kHostEngines) / sizeof(kHostEngines[0]); i++) {
        if (HostFileExists(kHostEngines[i])) {
            return Keep(engine, kHostEngines[i], false);
        }
    }
    return false;
}

bool SzFindEngine(SzEngineInfo* engine) {
    ZeroMemory(engine, sizeof(*engine));
    engine->wine = HostRoadOpen();
    char chosen[SZ_ENGINE_PATH_BYTES];
    ZeroMemory(chosen, sizeof(chosen));
    bool found = false;
    if (Environment(SZ_ENGINE_VARIABLE_W, chosen, sizeof(chosen)) > 0) {
        found = (engine->wine ? HostFileExists(chosen) : IsFile(chosen)) && Keep(engine, chosen);
    } else if (engine->wine) {
        // A Wine with no host engine, such as a prefix that only has the
        // release folder, still works through the Windows engine shipped with it.
        found = FindHostEngine(engine) || FindWindowsEngine(engine);
    } else {
        found = FindWindowsEngine(engine);
    }
    InterlockedExchange(&g_road, engine->wine ? ROAD_HOST : ROAD_WINDOWS);
    return found;
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
