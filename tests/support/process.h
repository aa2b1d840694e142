// Starting Windows programs (such as Tessaro.exe) from a test and waiting,
// every wait bounded and failing the test with a message when it runs out.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// One argument quoted by the platform's splitting rules.
std::string QuoteArg(const std::string& arg);

struct Process {
    HANDLE handle = NULL;
    DWORD id = 0;
};

// Starts exe with args in cwd (empty: the exe's folder). handle NULL on failure.
Process StartProcess(const std::string& exe, const std::vector<std::string>& args,
                     const std::string& cwd = std::string());
// Waits for the end and returns the exit code; past timeoutMs the process is
// killed, the test fails and 0xFFFFFFFF comes back. Closes the handle.
DWORD WaitProcess(Process& p, DWORD timeoutMs = 30000);
// Start and wait in one.
DWORD RunProcess(const std::string& exe, const std::vector<std::string>& args,
                 const std::string& cwd = std::string(), DWORD timeoutMs = 30000);
// Copies Tessaro.exe and a 7-zip32.dll (from dllDir: the fake's folder by
// default) into a new temporary folder; returns that folder.
std::string StageTessaro(const std::string& tag, const std::string& dllDir = std::string());

// Dispatches this thread's window messages until test() holds or timeoutMs
// passed; returns test(). With what, running out fails the test, naming it.
bool PumpUntil(const std::function<bool()>& test, DWORD timeoutMs = 10000, const char* what = NULL);
// WaitProcess, dispatching this thread's window messages meanwhile.
DWORD WaitPumping(Process& p, DWORD timeoutMs = 30000);
// Top-level windows of a process, only those of className when given, only
// visible ones when visibleOnly.
std::vector<HWND> WindowsOf(DWORD processId, const char* className = NULL,
                            bool visibleOnly = false);

} // namespace testsupport
