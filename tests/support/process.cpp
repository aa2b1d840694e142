#include "tests/support/process.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>

namespace testsupport {

std::string QuoteArg(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        return arg;
    }
    std::string out = "\"";
    size_t slashes = 0;
    for (char ch : arg) {
        if (ch == '\\') {
            ++slashes;
            continue;
        }
        out.append(ch == '"' ? slashes * 2 + 1 : slashes, '\\');
        out += ch;
        slashes = 0;
    }
    return out.append(slashes * 2, '\\') + '"';
}

Process StartProcess(const std::string& exe, const std::vector<std::string>& args,
                     const std::string& cwd) {
    std::string cmd = QuoteArg(exe);
    for (const std::string& a : args) {
        cmd += ' ' + QuoteArg(a);
    }
    std::string dir = cwd.empty() ? exe.substr(0, exe.find_last_of('\\') + 1) : cwd;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    Process p;
    if (CreateProcessA(exe.c_str(), &cmd[0], NULL, NULL, FALSE, 0, NULL,
                       dir.empty() ? NULL : dir.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        p.handle = pi.hProcess;
        p.id = pi.dwProcessId;
    }
    return p;
}

// The exit code of an ended process; one still running is a failure of the
// test, and is killed.
static DWORD Finish(Process& p, bool ended, DWORD timeoutMs) {
    DWORD code = 0xFFFFFFFF;
    if (ended) {
        GetExitCodeProcess(p.handle, &code);
    } else {
        ADD_FAILURE() << "process " << p.id << " did not end within " << timeoutMs << " ms";
        TerminateProcess(p.handle, 0xFFFFFFFF);
        WaitForSingleObject(p.handle, 5000);
    }
    CloseHandle(p.handle);
    p.handle = NULL;
    return code;
}

DWORD WaitProcess(Process& p, DWORD timeoutMs) {
    return p.handle
               ? Finish(p, WaitForSingleObject(p.handle, timeoutMs) == WAIT_OBJECT_0, timeoutMs)
               : 0xFFFFFFFF;
}

DWORD RunProcess(const std::string& exe, const std::vector<std::string>& args,
                 const std::string& cwd, DWORD timeoutMs) {
    Process p = StartProcess(exe, args, cwd);
    return WaitProcess(p, timeoutMs);
}

std::string StageTessaro(const std::string& tag, const std::string& dllDir) {
    std::string dir = MakeTempDir(tag);
    std::string from = dllDir.empty() ? ExeDir() : dllDir;
    CopyFileA(TessaroExe().c_str(), (dir + "\\Tessaro.exe").c_str(), FALSE);
    CopyFileA((from + "\\7-zip32.dll").c_str(), (dir + "\\7-zip32.dll").c_str(), FALSE);
    return dir;
}

bool PumpUntil(const std::function<bool()>& test, DWORD timeoutMs, const char* what) {
    for (DWORD start = GetTickCount(); !test();) {
        if (GetTickCount() - start >= timeoutMs) {
            if (what != NULL) {
                ADD_FAILURE() << "waited " << timeoutMs << " ms for " << what;
            }
            return false;
        }
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

DWORD WaitPumping(Process& p, DWORD timeoutMs) {
    if (!p.handle) {
        return 0xFFFFFFFF;
    }
    return Finish(
        p, PumpUntil([&] { return WaitForSingleObject(p.handle, 0) == WAIT_OBJECT_0; }, timeoutMs),
        timeoutMs);
}

static BOOL CALLBACK CollectWindow(HWND wnd, LPARAM param) {
    auto* search =
        reinterpret_cast<std::pair<std::vector<HWND>, std::function<bool(HWND)>>*>(param);
    if (search->second(wnd)) {
        search->first.push_back(wnd);
    }
    return TRUE;
}

std::vector<HWND> WindowsOf(DWORD processId, const char* className, bool visibleOnly) {
    std::pair<std::vector<HWND>, std::function<bool(HWND)>> search;
    search.second = [&](HWND wnd) {
        DWORD owner = 0;
        char name[64] = {0};
        GetWindowThreadProcessId(wnd, &owner);
        GetClassNameA(wnd, name, sizeof name);
        return owner == processId && (!visibleOnly || IsWindowVisible(wnd)) &&
               (!className || lstrcmpA(name, className) == 0);
    };
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.first;
}

} // namespace testsupport
