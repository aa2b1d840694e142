// Start-up figures of Tessaro.exe under this machine's Wine: how long each
// road of the start takes, from CreateProcess to what the user sees. Prints
// figures only; nothing here passes or fails.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <vector>

#include "app/mainwnd.h"
#include "tests/support/dialogs.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

using namespace testsupport;

namespace {

std::vector<std::string> g_staged; // removed at the end

// Tessaro.exe and a library (the fake's, or that of dllDir) in a new folder.
std::string Stage(const std::string& dllDir = std::string()) {
    std::string dir = StageTessaro("bench", dllDir);
    g_staged.push_back(dir);
    FakeReset("", dir);
    return dir;
}

HWND MainWindowOf(const Process& p) {
    std::vector<HWND> found = WindowsOf(p.id, MAIN_CLASS_NAME);
    return found.empty() ? NULL : found[0];
}

struct Figures {
    const char* road;
    std::vector<DWORD> ms;
};

void Print(const Figures& f) {
    std::vector<DWORD> sorted = f.ms;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty()) {
        printf("%-44s no runs\n", f.road);
        return;
    }
    printf("%-44s runs %2u  min %5lu ms  median %5lu ms  max %5lu ms\n", f.road,
           static_cast<unsigned>(sorted.size()), sorted.front(), sorted[sorted.size() / 2],
           sorted.back());
}

// Start until the main window is visible, then close it and wait for the end.
void WindowRoad(int runs, Figures& open, Figures& close) {
    std::string exe = Stage() + "\\Tessaro.exe";
    for (int i = 0; i < runs; ++i) {
        DWORD start = GetTickCount();
        Process tessaro = StartProcess(exe, {});
        HWND main = NULL;
        if (!PumpUntil([&] {
                main = MainWindowOf(tessaro);
                return main != NULL && IsWindowVisible(main);
            })) {
            WaitProcess(tessaro, 0);
            continue;
        }
        open.ms.push_back(GetTickCount() - start);
        DWORD closing = GetTickCount();
        PostMessageA(main, WM_CLOSE, 0, 0);
        if (WaitPumping(tessaro) == 0) {
            close.ms.push_back(GetTickCount() - closing);
        }
    }
}

// A second start while the first shows its window: until the second ends.
void HandOverRoad(int runs, Figures& handOver) {
    std::string exe = Stage() + "\\Tessaro.exe";
    Process first = StartProcess(exe, {});
    HWND main = NULL;
    if (!PumpUntil([&] { return (main = MainWindowOf(first)) != NULL; })) {
        WaitProcess(first, 0);
        return;
    }
    for (int i = 0; i < runs; ++i) {
        DWORD start = GetTickCount();
        Process second = StartProcess(exe, {});
        if (WaitPumping(second) == 0) {
            handOver.ms.push_back(GetTickCount() - start);
        }
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    WaitPumping(first);
}

// An incomplete library: until the message box is up.
void RefusalRoad(int runs, Figures& refusal) {
    std::string exe = Stage(ExeDir() + "\\..\\fake-missing") + "\\Tessaro.exe";
    DialogWatcher watcher;
    for (int i = 0; i < runs; ++i) {
        size_t before = watcher.Seen().size();
        DWORD start = GetTickCount();
        Process tessaro = StartProcess(exe, {});
        if (watcher.WaitFor(before + 1)) {
            refusal.ms.push_back(GetTickCount() - start);
        }
        WaitPumping(tessaro);
    }
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? atoi(argv[1]) : 10;
    if (runs < 1) {
        runs = 1;
    }
    Figures open = {"start to visible main window", {}};
    Figures close = {"WM_CLOSE to process end", {}};
    Figures handOver = {"second start handing over, to its end", {}};
    Figures refusal = {"start to message (library incomplete)", {}};
    WindowRoad(runs, open, close);
    HandOverRoad(runs, handOver);
    RefusalRoad(runs, refusal);
    Print(open);
    Print(close);
    Print(handOver);
    Print(refusal);
    for (const std::string& dir : g_staged) {
        RemoveTree(dir);
    }
    return 0;
}
