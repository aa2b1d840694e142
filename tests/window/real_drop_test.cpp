// A drag from a real X11 drag source (a GTK program driven by xdotool) onto
// the main window arrives as WM_DROPFILES and runs a job, as the shell's
// drops do on Windows.
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <vector>

using namespace testsupport;
using namespace windowtest;

namespace {

typedef LONG(WINAPI* UnixSpawnFn)(char* const argv[], int wait);
typedef char*(CDECL* UnixFileNameFn)(LPCWSTR dosName);

TEST(RealDrop, DragFromAnX11SourceRunsTheJob) {
    UnixSpawnFn spawn =
        (UnixSpawnFn)(void*)GetProcAddress(GetModuleHandleA("ntdll"), "__wine_unix_spawnvp");
    UnixFileNameFn toUnix = (UnixFileNameFn)(void*)GetProcAddress(GetModuleHandleA("kernel32"),
                                                                  "wine_get_unix_file_name");
    if (spawn == NULL || toUnix == NULL) {
        GTEST_SKIP() << "needs Wine: the drag source is a host program";
    }
    if (!FileExists("Z:\\usr\\bin\\xdotool") || !FileExists("Z:\\usr\\bin\\python3")) {
        GTEST_SKIP() << "needs xdotool and python3 with GTK 3 on the host";
    }
    std::string dir = MakeTempDir("drop");
    SetEnvironmentVariableA("FAKE7Z_DIR", dir.c_str());
    FakeReset("[fake]\n");
    // "表示": the second byte of the first character is 0x5C.
    const std::string stem = "\x95\x5c\x8e\xa6";
    std::string input = dir + "\\" + stem + ".txt";
    ASSERT_TRUE(WriteBytes(input, "dropped"));
    SetOptions("DESKTOP|1|1|0|SAMEPLACE|7Z|LEVEL3|0|ZipCrypto|0");
    HWND wnd = CreateMainWindow();
    ASSERT_NE(wnd, (HWND)NULL);

    // A bare spot of the form, below the left-hand groups; the source gets
    // the host path of the file, in UTF-8 as Wine maps it.
    POINT target = {30, 215};
    ClientToScreen(wnd, &target);
    std::string x = std::to_string(target.x), y = std::to_string(target.y);
    WCHAR wide[MAX_PATH] = {0};
    MultiByteToWideChar(CP_ACP, 0, input.c_str(), -1, wide, MAX_PATH);
    char* host = toUnix(wide);
    std::string script = TESSARO_DRAG_SOURCE;
    std::vector<char*> argv = {(char*)"/usr/bin/python3", &script[0], &x[0], &y[0], host, NULL};
    ASSERT_EQ(spawn(argv.data(), FALSE), 0);
    HeapFree(GetProcessHeap(), 0, host);

    // The drop arrives through this thread's messages; the job runs inside it.
    std::vector<std::string> runs;
    for (DWORD start = GetTickCount(); runs.empty() && GetTickCount() - start < 20000;) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_ALLINPUT);
        PumpMessages();
        runs = FakeCalls("SevenZip");
    }
    // Wine names the dropped file by the drive it lies on, as the test does.
    EXPECT_EQ(std::vector<std::string>{HwndText(wnd) +
                                       "\ta -t7z -mhe=off -mx=5 -ms=off -m0=LZMA2 -r0 \"" + dir +
                                       "\\" + stem + ".7z\" \"" + input + "\"\tnull\t0"},
              runs);
    CloseMainWindow(wnd);
    SetEnvironmentVariableA("FAKE7Z_DIR", NULL);
    RemoveTree(dir);
}

} // namespace
