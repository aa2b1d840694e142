#include "sevenzip32/base/trace.h"

#include <strsafe.h>

#include "sevenzip32/base/wine.h"

#define SZ_TRACE_VARIABLE L"SEVENZIP32_TRACE"

static struct {
    bool on;
    HANDLE file;  // open for appending while the process lives
    bool written; // the current call's first line is in the file
    char what[64];
    LARGE_INTEGER origin;
    LARGE_INTEGER frequency;
} g_trace = {false, INVALID_HANDLE_VALUE, false, {0}, {}, {}};

static double Milliseconds() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - g_trace.origin.QuadPart) /
           static_cast<double>(g_trace.frequency.QuadPart);
}

static ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Milliseconds since 1970 (FILETIME counts 100 ns since 1601).
static double EpochMilliseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<double>(Ticks(now) - 116444736000000000ull) / 10000.0;
}

static void Write(LPCSTR line) {
    DWORD written = 0;
    WriteFile(g_trace.file, line, static_cast<DWORD>(lstrlenA(line)), &written, NULL);
}

// The call's first line, written with the first of its lines: its wall-clock
// time and the process's age are taken back to the call's beginning, so a
// call that writes nothing costs no more than a clock reading.
static void Append(LPCSTR line) {
    if (!g_trace.written) {
        g_trace.written = true;
        FILETIME created, exited, kernel, user, now;
        GetSystemTimeAsFileTime(&now);
        double since = Milliseconds();
        double age = GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)
                         ? static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0 - since
                         : -1.0;
        char begin[256];
        ZeroMemory(begin, sizeof(begin));
        StringCchPrintfA(begin, sizeof(begin), "0.0 call %s epoch=%.1f process=%.1f\n",
                         g_trace.what, EpochMilliseconds() - since, age);
        Write(begin);
    }
    Write(line);
}

// The file named by the variable, opened once per process.
static HANDLE TraceFile() {
    static bool tried = false;
    if (tried) {
        return g_trace.file;
    }
    tried = true;
    WCHAR named[MAX_PATH * 2];
    WCHAR path[MAX_PATH * 2];
    char host[MAX_PATH * 3];
    ZeroMemory(named, sizeof(named));
    ZeroMemory(path, sizeof(path));
    ZeroMemory(host, sizeof(host));
    DWORD chars = GetEnvironmentVariableW(SZ_TRACE_VARIABLE, named, MAX_PATH * 2);
    bool haveName = chars > 0 && chars < MAX_PATH * 2;
    bool mapped =
        haveName && (named[0] == L'/' ? WideCharToMultiByte(CP_UTF8, 0, named, -1, host,
                                                            sizeof(host), NULL, NULL) > 0 &&
                                            SzWineWindowsPath(host, path, MAX_PATH * 2)
                                      : SUCCEEDED(StringCchCopyW(path, MAX_PATH * 2, named)));
    if (mapped) {
        g_trace.file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    }
    return g_trace.file;
}

void SzTraceBegin(LPCSTR what, bool always) {
    g_trace.on = TraceFile() != INVALID_HANDLE_VALUE;
    if (!g_trace.on) {
        return;
    }
    QueryPerformanceFrequency(&g_trace.frequency);
    QueryPerformanceCounter(&g_trace.origin);
    ZeroMemory(g_trace.what, sizeof(g_trace.what));
    StringCchCopyA(g_trace.what, sizeof(g_trace.what), what);
    g_trace.written = false;
    if (always) {
        Append("");
    }
}

void SzTrace(LPCSTR phase, LPCSTR detail) {
    if (!g_trace.on) {
        return;
    }
    char line[MAX_PATH * 3 + 128];
    ZeroMemory(line, sizeof(line));
    StringCchPrintfA(line, sizeof(line), "%.1f %s%s%s\n", Milliseconds(), phase,
                     detail != NULL ? " " : "", detail != NULL ? detail : "");
    Append(line);
}

void SzTraceEnd(int result) {
    if (!g_trace.on || !g_trace.written) {
        return;
    }
    char line[128];
    ZeroMemory(line, sizeof(line));
    StringCchPrintfA(line, sizeof(line), "%.1f end %d epoch=%.1f\n", Milliseconds(), result,
                     EpochMilliseconds());
    Append(line);
}
