// Running Tessaro.exe as its own process from a private folder beside a
// chosen 7-zip32.dll, and looking at the windows it makes.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace startuptest {

// Which library lies beside the staged Tessaro.exe.
enum LibraryKind { kNoLibrary, kFakeLibrary, kFakeMissingExport };

// A private folder holding Tessaro.exe, the chosen library, the fake's
// script and settings that keep command-line jobs quiet (result beside the
// input, no folder opened afterwards). Removed again at the end.
class Stage {
  public:
    Stage(const std::string& tag, LibraryKind library, const std::string& script);
    ~Stage();
    const std::string& Dir() const { return dir_; }
    std::string Exe() const { return dir_ + "\\Tessaro.exe"; }
    std::string File(const std::string& leaf) const { return dir_ + "\\" + leaf; }
    // Starts the staged Tessaro.exe with args, in its own folder.
    testsupport::Process Start(const std::vector<std::string>& args) const;
    // Every line the fake logged, of every process that loaded it here.
    std::vector<std::string> Log() const;
    // The logged calls of one entry point.
    std::vector<std::string> Calls(const std::string& name) const;

  private:
    std::string dir_;
};

// Ends a process still running when the scope is left, so that a failed
// case leaves no instance holding the name for the next one.
class EndAtExit {
  public:
    explicit EndAtExit(testsupport::Process& process) : process_(process) {}
    ~EndAtExit() {
        if (process_.handle != NULL) {
            testsupport::WaitProcess(process_, 0);
        }
    }

  private:
    testsupport::Process& process_;
};

// Waits for the process while keeping this thread's windows answering;
// returns its exit code, or 0xFFFFFFFF when it was killed after timeoutMs.
DWORD WaitPumping(testsupport::Process& process, DWORD timeoutMs = 30000);
// Lets this thread's windows handle their messages for ms milliseconds.
void PumpFor(DWORD ms);
// Polls until test() holds or timeoutMs passes; returns the last test().
template <class Test> bool WaitUntil(Test test, DWORD timeoutMs = 10000) {
    DWORD start = GetTickCount();
    while (!test()) {
        if (GetTickCount() - start >= timeoutMs) {
            return test();
        }
        PumpFor(30);
    }
    return true;
}

// The main window of process id, or NULL.
HWND MainWindowOf(DWORD processId);
// Visible top-level windows of process id.
std::vector<HWND> VisibleWindowsOf(DWORD processId);

} // namespace startuptest
