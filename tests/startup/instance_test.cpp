// One instance at a time: a second start hands over to the first one's
// window, or reports a busy library when the first has no window, and never
// runs its own arguments.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/mainwnd.h"
#include "tests/startup/staging.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"

using namespace testsupport;
using namespace startuptest;

namespace {

const char kBusy[] = "7-zip32.dll が使用中です。終了してから再実行して下さい。";

// Entry points a second instance must not reach whatever it was given.
const char* const kJobCalls[] = {"SevenZip", "SevenZipCheckArchive", "SevenZipGetArchiveType",
                                 "SevenZipConfigDialog"};

void ExpectNoJobCalls(const Stage& stage) {
    for (const char* name : kJobCalls) {
        EXPECT_TRUE(stage.Calls(name).empty()) << name;
    }
}

// A plain window of the test, so that the foreground has to move.
struct Bystander {
    HWND wnd;
    Bystander()
        : wnd(CreateWindowExA(0, "STATIC", "bystander", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                              200, 100, NULL, NULL, GetModuleHandleA(NULL), NULL)) {
        SetForegroundWindow(wnd);
        PumpFor(100);
    }
    ~Bystander() { DestroyWindow(wnd); }
};

struct WindowCase {
    const char* name;
    bool minimised;
    const char* script;
    std::vector<std::string> args;
};

} // namespace

TEST(SecondInstance, BringsTheOpenWindowForwardAndDoesNothingElse) {
    const WindowCase cases[] = {
        {"plain start", false, "", {}},
        {"minimised, with an argument", true, "", {"b.zip"}},
        // A window to hand over to wins over a busy library.
        {"minimised, library busy", true, "[fake]\nrunning=1\n", {}},
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.name);
        Stage stage("window", kFakeLibrary, c.script);
        WriteBytes(stage.File("b.zip"), "PK");
        DialogWatcher watcher;
        Process first = stage.Start({});
        EndAtExit endFirst(first);
        ASSERT_TRUE(first.handle != NULL);
        HWND main = NULL;
        ASSERT_TRUE(WaitUntil([&] { return (main = MainWindowOf(first.id)) != NULL; }));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));

        Bystander bystander;
        if (c.minimised) {
            PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
        }
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() != main; }));

        Process second = stage.Start(c.args);
        EndAtExit endSecond(second);
        ASSERT_TRUE(second.handle != NULL);
        EXPECT_EQ(0u, WaitPumping(second));

        EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main); }));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
        EXPECT_TRUE(watcher.Seen().empty());
        ExpectNoJobCalls(stage);
        // The window was found, so the library was not even asked.
        EXPECT_TRUE(stage.Calls("SevenZipGetRunning").empty());
        EXPECT_EQ(1u, stage.Calls("SevenZipGetVersion").size());

        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, WaitPumping(first));
    }
}

struct HolderCase {
    const char* name;
    const char* script;
    const char* message; // NULL: nothing is shown
};

// The name is held by an instance that has no window yet or none at all
// (a command-line job between library runs): only a busy library is told.
TEST(SecondInstance, WithoutAWindowToFindTellsOnlyOfABusyLibrary) {
    const HolderCase cases[] = {
        {"library idle", "[fake]\nrunning=0\n", NULL},
        {"library busy", "[fake]\nrunning=1\n", kBusy},
    };
    for (const HolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        Stage stage("holder", kFakeLibrary, c.script);
        WriteBytes(stage.File("a.zip"), "PK");
        HANDLE held = CreateMutexA(NULL, TRUE, MAIN_CLASS_NAME);
        ASSERT_TRUE(held != NULL);
        ASSERT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
        DialogWatcher watcher;

        Process second = stage.Start({"a.zip"});
        EndAtExit endSecond(second);
        ASSERT_TRUE(second.handle != NULL);
        EXPECT_EQ(0u, WaitPumping(second));

        std::vector<SeenDialog> seen = watcher.Seen();
        if (c.message == NULL) {
            EXPECT_TRUE(seen.empty());
        } else {
            ASSERT_EQ(1u, seen.size());
            EXPECT_EQ(Hex(c.message), Hex(seen[0].text));
            EXPECT_TRUE(seen[0].owner == NULL);
            EXPECT_FALSE(seen[0].hasYesNo);
        }
        EXPECT_EQ(1u, stage.Calls("SevenZipGetRunning").size());
        EXPECT_TRUE(stage.Calls("SevenZipGetVersion").empty());
        ExpectNoJobCalls(stage);
        // The name is still ours: the second start neither took nor broke it.
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held, 0));
        ReleaseMutex(held);
        ReleaseMutex(held);
        CloseHandle(held);
    }
}

// A real first instance in the middle of a command-line job: it shows no
// window, and the second start meets the library busy with its run.
TEST(SecondInstance, DuringACommandLineJobReportsTheBusyLibrary) {
    Stage stage("batch", kFakeLibrary, "[fake]\ndelay_ms=3000\n");
    WriteBytes(stage.File("a.txt"), "text");
    DialogWatcher watcher;
    Process first = stage.Start({stage.File("a.txt")});
    EndAtExit endFirst(first);
    ASSERT_TRUE(first.handle != NULL);
    // The job reaches its library run and stays in it for the delay.
    ASSERT_TRUE(WaitUntil([&] { return !stage.Calls("SevenZip").empty(); }));
    EXPECT_TRUE(VisibleWindowsOf(first.id).empty());
    EXPECT_TRUE(FindWindowA(MAIN_CLASS_NAME, NULL) == NULL);

    Process second = stage.Start({stage.File("a.txt")});
    EndAtExit endSecond(second);
    ASSERT_TRUE(second.handle != NULL);
    EXPECT_EQ(0u, WaitPumping(second));
    EXPECT_EQ(0u, WaitPumping(first));

    std::vector<SeenDialog> seen = watcher.Seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(Hex(kBusy), Hex(seen[0].text));
    EXPECT_TRUE(seen[0].owner == NULL);
    // One run, the first instance's; one version check, also the first's.
    EXPECT_EQ(1u, stage.Calls("SevenZip").size());
    EXPECT_EQ(1u, stage.Calls("SevenZipGetVersion").size());
    EXPECT_EQ(2u, stage.Calls("SevenZipGetRunning").size());
    // Each process let the library go once, itself, before its exit.
    std::vector<std::string> bindings = stage.Calls("DllMain");
    std::sort(bindings.begin(), bindings.end());
    EXPECT_EQ(std::vector<std::string>({"attach", "attach", "detach\tfree", "detach\tfree"}),
              bindings);
}

// A real first instance held in its command-line job by a question before
// any library run: the library is idle, so the second start says nothing.
TEST(SecondInstance, DuringACommandLineJobWithTheLibraryIdleSaysNothing) {
    Stage stage("idle", kFakeLibrary, "[fake]\nrunning=0\n");
    WriteBytes(stage.File("a.txt"), "text");
    WriteBytes(stage.File("a.7z"), "7z"); // the first asks before replacing it
    Process first = stage.Start({stage.File("a.txt")});
    EndAtExit endFirst(first);
    ASSERT_TRUE(first.handle != NULL);
    ASSERT_TRUE(WaitUntil([&] { return !VisibleWindowsOf(first.id).empty(); }));

    // No watcher yet: a message of the second start would keep it from ending.
    Process second = stage.Start({stage.File("a.txt")});
    EndAtExit endSecond(second);
    ASSERT_TRUE(second.handle != NULL);
    EXPECT_EQ(0u, WaitPumping(second, 10000));

    DialogWatcher watcher; // answers the first one's question with No
    EXPECT_EQ(0u, WaitPumping(first));
    EXPECT_EQ(1u, watcher.Seen().size());
    EXPECT_TRUE(stage.Calls("SevenZip").empty());
    EXPECT_EQ(2u, stage.Calls("SevenZipGetRunning").size());
    EXPECT_EQ(1u, stage.Calls("SevenZipGetVersion").size());
}
