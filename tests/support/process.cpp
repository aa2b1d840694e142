#include "tests/support/process.h"
#include "tests/support/files.h"

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
        } else if (ch == '"') {
            out.append(slashes * 2 + 1, '\\');
            out += '"';
            slashes = 0;
            continue;
        } else {
            out.append(slashes, '\\');
            slashes = 0;
            out += ch;
            continue;
        }
    }
    out.append(slashes * 2, '\\');
    out += '"';
    return out;
}

Process StartProcess(const std::string& exe, const std::vector<std::string>& args,
                     const std::string& cwd) {
    Process p;
    std::string cmd = QuoteArg(exe);
    for (const std::string& a : args) {
        cmd += ' ';
        cmd += QuoteArg(a);
    }
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string dir = cwd;
    if (dir.empty()) {
        size_t cut = exe.find_last_of('\\');
        dir = cut == std::string::npos ? std::string() : exe.substr(0, cut);
    }
    if (CreateProcessA(exe.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL,
                       dir.empty() ? NULL : dir.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        p.handle = pi.hProcess;
        p.id = pi.dwProcessId;
    }
    return p;
}

DWORD WaitProcess(Process& p, DWORD timeoutMs) {
    if (!p.handle) {
        return 0xFFFFFFFF;
    }
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(p.handle, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(p.handle, &code);
    } else {
        TerminateProcess(p.handle, 0xFFFFFFFF);
        WaitForSingleObject(p.handle, 5000);
    }
    CloseHandle(p.handle);
    p.handle = NULL;
    return code;
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

bool PumpUntil(const std::function<bool()>& test, DWORD timeoutMs) {
    for (DWORD start = GetTickCount();;) {
        if (test()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
}

DWORD WaitPumping(Process& p, DWORD timeoutMs) {
    PumpUntil([&] { return !p.handle || WaitForSingleObject(p.handle, 0) == WAIT_OBJECT_0; },
              timeoutMs);
    return WaitProcess(p, 0);
}

namespace {
struct WindowSearch {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND wnd, LPARAM param) {
    WindowSearch* s = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    char name[64] = {0};
    GetWindowThreadProcessId(wnd, &owner);
    GetClassNameA(wnd, name, sizeof name);
    if (owner == s->processId && (!s->visibleOnly || IsWindowVisible(wnd)) &&
        (!s->className || lstrcmpA(name, s->className) == 0)) {
        s->found.push_back(wnd);
    }
    return TRUE;
}
} // namespace

std::vector<HWND> WindowsOf(DWORD processId, const char* className, bool visibleOnly) {
    WindowSearch search = {processId, className, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace testsupport
