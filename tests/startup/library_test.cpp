// Start-up against libraries it must refuse or accept: the messages, what
// the program asks the library before it stops, that the library is released
// exactly once, and that every road ends with exit code 0.
#include <gtest/gtest.h>

#include "app/mainwnd.h"
#include "tests/startup/staging.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"

using namespace testsupport;
using namespace startuptest;

namespace {

const char kLoadFailed[] = "7-zip32.dll を読み込めませんでした。 プログラムを終了します。";
const char kTooOld919[] = "7-zip32.dll のバージョンが 9.19 です。 9.20 以降を使用して下さい。";
const char kTooOld465[] = "7-zip32.dll のバージョンが 4.65 です。 9.20 以降を使用して下さい。";
const char kTooOld0[] = "7-zip32.dll のバージョンが 0.00 です。 9.20 以降を使用して下さい。";

const char kAttach[] = "DllMain\tattach";
const char kFreed[] = "DllMain\tdetach\tfree";
const char kVersion[] = "SevenZipGetVersion";

struct RefusalCase {
    const char* name;
    LibraryKind library;
    const char* script;
    std::vector<std::string> args;
    const char* message;
    std::vector<std::string> log; // the fake's whole log, in order
};

} // namespace

TEST(StartupRefusal, ShowsOneMessageRunsNothingAndExitsWithZero) {
    const RefusalCase cases[] = {
        {"no library", kNoLibrary, "", {}, kLoadFailed, {}},
        // The incomplete library is let go at once and never called.
        {"export missing", kFakeMissingExport, "", {}, kLoadFailed, {kAttach, kFreed}},
        {"version 919",
         kFakeLibrary,
         "[fake]\nversion=919\n",
         {},
         kTooOld919,
         {kAttach, kVersion, kFreed}},
        {"version 465",
         kFakeLibrary,
         "[fake]\nversion=465\n",
         {},
         kTooOld465,
         {kAttach, kVersion, kFreed}},
        {"version 0",
         kFakeLibrary,
         "[fake]\nversion=0\n",
         {},
         kTooOld0,
         {kAttach, kVersion, kFreed}},
        // The check comes before the arguments are looked at.
        {"version 919 with an argument",
         kFakeLibrary,
         "[fake]\nversion=919\n",
         {"a.zip"},
         kTooOld919,
         {kAttach, kVersion, kFreed}},
        {"export missing with an argument",
         kFakeMissingExport,
         "",
         {"a.zip"},
         kLoadFailed,
         {kAttach, kFreed}},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        Stage stage("refuse", c.library, c.script);
        DialogWatcher watcher;
        Process tessaro = stage.Start(c.args);
        EndAtExit endTessaro(tessaro);
        ASSERT_TRUE(tessaro.handle != NULL);
        EXPECT_EQ(0u, WaitPumping(tessaro));
        std::vector<SeenDialog> seen = watcher.Seen();
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(Hex(c.message), Hex(seen[0].text));
        EXPECT_TRUE(seen[0].owner == NULL);
        EXPECT_FALSE(seen[0].hasYesNo);
        EXPECT_EQ(IDOK, seen[0].pressed);
        EXPECT_EQ(c.log, stage.Log());
        EXPECT_TRUE(MainWindowOf(tessaro.id) == NULL);
    }
}

TEST(StartupAcceptance, Version920OpensTheWindowAndReleasesTheLibraryOnceAtTheEnd) {
    const char* const scripts[] = {"[fake]\nversion=920\n", "[fake]\nversion=65535\n"};
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        Stage stage("accept", kFakeLibrary, script);
        DialogWatcher watcher;
        Process tessaro = stage.Start({});
        EndAtExit endTessaro(tessaro);
        ASSERT_TRUE(tessaro.handle != NULL);
        HWND main = NULL;
        ASSERT_TRUE(WaitUntil([&] { return (main = MainWindowOf(tessaro.id)) != NULL; }));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));

        char title[128] = {0};
        GetWindowTextA(main, title, sizeof(title));
        EXPECT_EQ(Hex(MAIN_WINDOW_TITLE), Hex(title));
        const LONG style = GetWindowLongA(main, GWL_STYLE);
        const LONG fixed = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        EXPECT_EQ(fixed, style & (fixed | WS_THICKFRAME | WS_MAXIMIZEBOX));
        EXPECT_NE(0, GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        EXPECT_EQ(static_cast<DWORD>(CS_HREDRAW | CS_VREDRAW), GetClassLongA(main, GCL_STYLE));
        RECT outer;
        GetWindowRect(main, &outer);
        EXPECT_EQ(440, outer.right - outer.left);
        EXPECT_EQ(260, outer.bottom - outer.top);

        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, WaitPumping(tessaro));
        EXPECT_TRUE(watcher.Seen().empty());
        EXPECT_EQ(std::vector<std::string>({kAttach, kVersion, kFreed}), stage.Log());
    }
}
