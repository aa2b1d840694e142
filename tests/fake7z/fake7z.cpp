// A recording stand-in for 7-zip32.dll, for tests only: every call is logged
// with its arguments as raw bytes, and every answer comes from a script file.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HMODULE g_self;

static void ControlPath(const char* leaf, char* out, DWORD outSize) {
    char dir[MAX_PATH] = {0};
    DWORD n = GetEnvironmentVariableA("FAKE7Z_DIR", dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) {
        GetModuleFileNameA(g_self, dir, sizeof dir);
        char* cut = NULL;
        for (char* p = dir; *p; p = CharNextA(p)) {
            if (*p == '\\' || *p == '/') {
                cut = p;
            }
        }
        if (cut) {
            *cut = 0;
        }
    }
    _snprintf(out, outSize - 1, "%s\\%s", dir, leaf);
    out[outSize - 1] = 0;
}

static void Log(const char* line) {
    char path[MAX_PATH] = {0};
    ControlPath("log.txt", path, sizeof path);
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(f, line, (DWORD)strlen(line), &written, NULL);
            WriteFile(f, "\n", 1, &written, NULL);
            CloseHandle(f);
            return;
        }
        Sleep(10);
    }
}

static int ScriptInt(const char* section, const char* key, int fallback) {
    char path[MAX_PATH] = {0};
    char text[64] = {0};
    ControlPath("script.ini", path, sizeof path);
    if (GetPrivateProfileStringA(section, key, "", text, sizeof text, path) == 0) {
        return fallback;
    }
    return (int)strtol(text, NULL, 0);
}

static void ScriptText(const char* key, char* out, DWORD outSize) {
    char path[MAX_PATH] = {0};
    ControlPath("script.ini", path, sizeof path);
    GetPrivateProfileStringA("fake", key, "", out, outSize, path);
}

static bool EndsWith(const char* text, const char* tail) {
    size_t n = strlen(text), m = strlen(tail);
    return n >= m && _stricmp(text + n - m, tail) == 0;
}

static bool IsFile(const char* path) {
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

static int CountSevenZipCalls() {
    char path[MAX_PATH] = {0};
    ControlPath("log.txt", path, sizeof path);
    FILE* f = fopen(path, "rb");
    if (!f) {
        return 0;
    }
    int count = 0;
    char line[8192];
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, "SevenZip\t", 9) == 0) {
            ++count;
        }
    }
    fclose(f);
    return count;
}

// The n-th (0-based) entry of the comma list "results"; the last repeats.
static int NthResult(int n) {
    char list[1024] = {0};
    ScriptText("results", list, sizeof list);
    if (!list[0]) {
        return 0;
    }
    int value = 0;
    char* p = list;
    for (int i = 0; i <= n && *p; ++i) {
        value = (int)strtol(p, &p, 0);
        while (*p == ',' || *p == ' ') {
            ++p;
        }
    }
    return value;
}

static void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        if (spent >= ms) {
            return;
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, ms - spent, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

static const char kRunningName[] = "Tessaro_test_fake7z_running";

extern "C" {

int WINAPI SevenZip(HWND wnd, LPCSTR cmd, LPSTR output, DWORD size) {
    int n = CountSevenZipCalls();
    static char line[8192];
    _snprintf(line, sizeof line - 1, "SevenZip\t%08lX\t%s\t%s\t%lu", (unsigned long)(ULONG_PTR)wnd,
              cmd ? cmd : "(null)", output ? "buf" : "null", (unsigned long)size);
    line[sizeof line - 1] = 0;
    Log(line);
    HANDLE running = CreateMutexA(NULL, FALSE, kRunningName);
    PumpFor((DWORD)ScriptInt("fake", "delay_ms", 0));
    char target[MAX_PATH] = {0};
    char text[1024] = {0};
    ScriptText("write_file", target, sizeof target);
    ScriptText("write_text", text, sizeof text);
    if (target[0]) {
        HANDLE f =
            CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(f, text, (DWORD)strlen(text), &written, NULL);
            CloseHandle(f);
        }
    }
    if (output && size) {
        output[0] = 0;
    }
    if (running) {
        CloseHandle(running);
    }
    return NthResult(n);
}

WORD WINAPI SevenZipGetVersion(void) {
    Log("SevenZipGetVersion");
    return (WORD)ScriptInt("fake", "version", 920);
}

BOOL WINAPI SevenZipGetRunning(void) {
    Log("SevenZipGetRunning");
    HANDLE other = OpenMutexA(SYNCHRONIZE, FALSE, kRunningName);
    if (other) {
        CloseHandle(other);
        return TRUE;
    }
    return ScriptInt("fake", "running", 0) != 0;
}

BOOL WINAPI SevenZipConfigDialog(HWND wnd, LPSTR options, int mode) {
    char line[128];
    _snprintf(line, sizeof line - 1, "SevenZipConfigDialog\t%08lX\t%s\t%d",
              (unsigned long)(ULONG_PTR)wnd, options ? "buf" : "null", mode);
    line[sizeof line - 1] = 0;
    Log(line);
    return ScriptInt("fake", "config_result", 1);
}

BOOL WINAPI SevenZipCheckArchive(LPCSTR path, int mode) {
    static char line[1024];
    _snprintf(line, sizeof line - 1, "SevenZipCheckArchive\t%s\t%d", path ? path : "(null)", mode);
    line[sizeof line - 1] = 0;
    Log(line);
    if (!path) {
        return FALSE;
    }
    int fallback = IsFile(path) && (EndsWith(path, ".zip") || EndsWith(path, ".7z"));
    return ScriptInt("check", path, fallback);
}

#ifndef FAKE7Z_WITHOUT_TYPE
int WINAPI SevenZipGetArchiveType(LPCSTR path) {
    static char line[1024];
    _snprintf(line, sizeof line - 1, "SevenZipGetArchiveType\t%s", path ? path : "(null)");
    line[sizeof line - 1] = 0;
    Log(line);
    if (!path) {
        return -1;
    }
    int fallback = EndsWith(path, ".zip") ? 1 : EndsWith(path, ".7z") ? 2 : -1;
    return ScriptInt("type", path, fallback);
}
#endif

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = self;
        Log("DllMain\tattach");
    } else if (reason == DLL_PROCESS_DETACH) {
        Log(reserved ? "DllMain\tdetach\texit" : "DllMain\tdetach\tfree");
    }
    return TRUE;
}

} // extern "C"
