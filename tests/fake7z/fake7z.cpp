// A recording stand-in for 7-zip32.dll, for tests only: every call is logged
// with its arguments as raw bytes, and every answer comes from a script file.
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HMODULE g_self;

// A file of the control folder: FAKE7Z_DIR, or the folder of this library.
static void ControlPath(const char* leaf, char* out, DWORD outSize) {
    char dir[MAX_PATH] = {0};
    DWORD n = GetEnvironmentVariableA("FAKE7Z_DIR", dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) {
        GetModuleFileNameA(g_self, dir, sizeof dir);
        *strrchr(dir, '\\') = '\0';
    }
    _snprintf(out, outSize - 1, "%s\\%s", dir, leaf);
}

// Appends one line; test programs side by side may hold the file a moment.
static void Log(const char* format, ...) {
    char line[8192] = {0}, path[MAX_PATH] = {0};
    va_list args;
    va_start(args, format);
    _vsnprintf(line, sizeof line - 2, format, args);
    va_end(args);
    strcat(line, "\n");
    ControlPath("log.txt", path, sizeof path);
    for (int attempt = 0; attempt < 50; ++attempt, Sleep(10)) {
        HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(f, line, (DWORD)strlen(line), &written, NULL);
            CloseHandle(f);
            return;
        }
    }
}

static void ScriptText(const char* section, const char* key, char* out, DWORD outSize) {
    char path[MAX_PATH] = {0};
    ControlPath("script.ini", path, sizeof path);
    GetPrivateProfileStringA(section, key, "", out, outSize, path);
}

static int ScriptInt(const char* section, const char* key, int fallback) {
    char text[64] = {0};
    ScriptText(section, key, text, sizeof text);
    return text[0] ? (int)strtol(text, NULL, 0) : fallback;
}

static bool EndsWith(const char* text, const char* tail) {
    size_t n = strlen(text), m = strlen(tail);
    return n >= m && _stricmp(text + n - m, tail) == 0;
}

static int CountSevenZipCalls() {
    char path[MAX_PATH] = {0}, line[8192];
    ControlPath("log.txt", path, sizeof path);
    FILE* f = fopen(path, "rb");
    int count = 0;
    while (f && fgets(line, sizeof line, f)) {
        count += strncmp(line, "SevenZip\t", 9) == 0;
    }
    if (f) {
        fclose(f);
    }
    return count;
}

// The n-th (0-based) entry of the comma list "results"; the last repeats.
static int NthResult(int n) {
    char list[1024] = {0};
    ScriptText("fake", "results", list, sizeof list);
    int value = 0;
    char* p = list;
    for (int i = 0; i <= n && *p; ++i) {
        value = (int)strtol(p, &p, 0);
        p += strspn(p, ", ");
    }
    return value;
}

extern "C" {

int WINAPI SevenZip(HWND wnd, LPCSTR cmd, LPSTR output, DWORD size) {
    int n = CountSevenZipCalls();
    Log("SevenZip\t%08lX\t%s\t%s\t%lu", (unsigned long)(ULONG_PTR)wnd, cmd ? cmd : "(null)",
        output ? "buf" : "null", (unsigned long)size);
    char target[MAX_PATH] = {0}, text[1024] = {0};
    ScriptText("fake", "write_file", target, sizeof target);
    ScriptText("fake", "write_text", text, sizeof text);
    HANDLE f = target[0] ? CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, NULL)
                         : INVALID_HANDLE_VALUE;
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(f, text, (DWORD)strlen(text), &written, NULL);
        CloseHandle(f);
    }
    if (output && size) {
        output[0] = 0;
    }
    return NthResult(n);
}

WORD WINAPI SevenZipGetVersion(void) {
    Log("SevenZipGetVersion");
    return (WORD)ScriptInt("fake", "version", 920);
}

BOOL WINAPI SevenZipGetRunning(void) {
    Log("SevenZipGetRunning");
    return ScriptInt("fake", "running", 0) != 0;
}

BOOL WINAPI SevenZipConfigDialog(HWND wnd, LPSTR options, int mode) {
    Log("SevenZipConfigDialog\t%08lX\t%s\t%d", (unsigned long)(ULONG_PTR)wnd,
        options ? "buf" : "null", mode);
    return TRUE;
}

BOOL WINAPI SevenZipCheckArchive(LPCSTR path, int mode) {
    Log("SevenZipCheckArchive\t%s\t%d", path, mode);
    DWORD a = GetFileAttributesA(path);
    bool file = a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    return ScriptInt("check", path, file && (EndsWith(path, ".zip") || EndsWith(path, ".7z")));
}

#ifndef FAKE7Z_WITHOUT_TYPE
int WINAPI SevenZipGetArchiveType(LPCSTR path) {
    Log("SevenZipGetArchiveType\t%s", path);
    return ScriptInt("type", path, EndsWith(path, ".zip") ? 1 : EndsWith(path, ".7z") ? 2 : -1);
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
