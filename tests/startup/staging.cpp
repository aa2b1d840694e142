#include "tests/startup/staging.h"

#include "app/mainwnd.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"

using namespace testsupport;

namespace startuptest {

namespace {

// The settings file name the program derives: stem, user name, ".ini".
std::string SettingsLeaf() {
    char user[257] = {0};
    DWORD size = sizeof(user);
    if (!GetUserNameA(user, &size) || user[0] == 0) {
        return "Tessaro.ini";
    }
    return std::string("Tessaro_") + user + ".ini";
}

const char kQuietSettings[] = "[Tessaro]\r\n"
                              "DECOMPESS=SAMEPLACE\r\n"
                              "DECOMP_OPEN=FALSE\r\n"
                              "COMPESS=SAMEPLACE\r\n"
                              "COMP_OPEN=FALSE\r\n";

struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND wnd, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(wnd))) {
        search->found.push_back(wnd);
    }
    return TRUE;
}

} // namespace

Stage::Stage(const std::string& tag, LibraryKind library, const std::string& script) {
    dir_ = MakeTempDir(tag);
    CopyFileA(TessaroExe().c_str(), Exe().c_str(), FALSE);
    if (library != kNoLibrary) {
        std::string from = library == kFakeLibrary ? ExeDir() : ExeDir() + "\\..\\fake-missing";
        CopyFileA((from + "\\7-zip32.dll").c_str(), File("7-zip32.dll").c_str(), FALSE);
    }
    FakeReset(script, dir_);
    WriteBytes(File(SettingsLeaf()), kQuietSettings);
}

Stage::~Stage() {
    RemoveTree(dir_);
}

Process Stage::Start(const std::vector<std::string>& args) const {
    return StartProcess(Exe(), args, dir_);
}

std::vector<std::string> Stage::Log() const {
    return FakeLog(dir_);
}

std::vector<std::string> Stage::Calls(const std::string& name) const {
    return FakeCalls(name, dir_);
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD spent = GetTickCount() - start;
        if (spent >= ms) {
            return;
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, ms - spent, QS_ALLINPUT);
    }
}

DWORD WaitPumping(Process& process, DWORD timeoutMs) {
    if (process.handle == NULL) {
        return 0xFFFFFFFF;
    }
    DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) {
            break;
        }
        DWORD woke =
            MsgWaitForMultipleObjects(1, &process.handle, FALSE, timeoutMs - spent, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            DWORD code = 0xFFFFFFFF;
            GetExitCodeProcess(process.handle, &code);
            CloseHandle(process.handle);
            process.handle = NULL;
            return code;
        }
        PumpFor(0);
    }
    return WaitProcess(process, 0);
}

HWND MainWindowOf(DWORD processId) {
    WindowSearch search = {processId, false, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND wnd : search.found) {
        char name[64] = {0};
        GetClassNameA(wnd, name, sizeof(name));
        if (lstrcmpA(name, MAIN_CLASS_NAME) == 0) {
            return wnd;
        }
    }
    return NULL;
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    WindowSearch search = {processId, true, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace startuptest
