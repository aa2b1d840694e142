// What the buttons, the keyboard and a drop do to the settings record, the
// settings file and the fake library's log.
#include "app/startup.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <vector>

using namespace testsupport;
using namespace windowtest;

namespace {

// A private folder for the settings file and the fake's script and log.
class Buttons : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDir("window");
        SetEnvironmentVariableA("FAKE7Z_DIR", dir_.c_str());
        FakeReset("[fake]\n");
        ini_ = dir_ + "\\Tessaro_test.ini";
        lstrcpynA(g_ini.iniPath, ini_.c_str(), sizeof g_ini.iniPath);
        SetOptions(kDefaults);
        wnd_ = CreateMainWindow();
        ASSERT_NE((HWND)NULL, wnd_);
    }
    void TearDown() override {
        CloseMainWindow(wnd_);
        g_ini.iniPath[0] = '\0';
        SetEnvironmentVariableA("FAKE7Z_DIR", NULL);
        RemoveTree(dir_);
    }
    // Turns every option away from the defaults, on the form only; a click
    // toggles a check box.
    void ChangeEverything() {
        for (int id : {1003, 1012, 1006, 1017, 1019}) {
            SendMessageA(ControlHandle(id), BM_CLICK, 0, 0);
        }
        UserSelect(1015, 0);
        UserSelect(1016, 0);
        UserSelect(1018, 2);
    }
    std::string dir_, ini_;
    HWND wnd_ = NULL;
};

TEST_F(Buttons, OkStoresTheFormAndWritesAllTenKeysInOrder) {
    ChangeEverything();
    SendMessageA(ControlHandle(1020), BM_CLICK, 0, 0);
    EXPECT_EQ("SAMEPLACE|0|1|1|DECIDE|ZIP|LEVEL0|0|AES256|0", Options());
    EXPECT_EQ("[Tessaro]\r\nDECOMPESS=SAMEPLACE\r\nDECOMP_ALL=FALSE\r\nDECOMP_DIR=TRUE\r\n"
              "DECOMP_OPEN=TRUE\r\nCOMPESS=DECIDE\r\nCOMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL0\r\n"
              "COMP_ENCRYPT=FALSE\r\nCOMP_ENC_METHOD=AES256\r\nCOMP_OPEN=FALSE\r\n",
              ReadBytes(ini_));
    EXPECT_FALSE(IsWindow(wnd_));
    EXPECT_EQ((HWND)NULL, ControlHandle(1020)); // the handles went with the window
}

// Cancel, the close command and the close box leave record and file alone.
TEST_F(Buttons, ClosingWithoutOkStoresNothing) {
    const std::pair<UINT, WPARAM> closers[] = {
        {BM_CLICK, 0}, {WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE}};
    for (const auto& c : closers) {
        ChangeEverything();
        SendMessageA(c.first == BM_CLICK ? ControlHandle(1021) : wnd_, c.first, c.second, 0);
        PumpMessages();
        EXPECT_FALSE(IsWindow(wnd_)) << c.first;
        EXPECT_FALSE(FileExists(ini_));
        EXPECT_EQ(kDefaults, Options());
        wnd_ = CreateMainWindow();
    }
}

TEST_F(Buttons, DllInformationOpensTheLibraryDialogThenFocusesItsButton) {
    SetFocus(ControlHandle(1006));
    SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(1022, BN_CLICKED), (LPARAM)ControlHandle(1022));
    EXPECT_EQ(std::vector<std::string>{HwndText(wnd_) + "\tnull\t0"},
              FakeCalls("SevenZipConfigDialog"));
    EXPECT_EQ(ControlHandle(1022), GetFocus());
    EXPECT_TRUE(IsWindow(wnd_));
    // The dialog keyboard's IDOK and IDCANCEL, and ids of no control, do nothing.
    FakeReset("[fake]\n");
    for (int id : {IDOK, IDCANCEL, 1001, 1014, 1023, 0}) {
        SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    EXPECT_TRUE(IsWindow(wnd_));
    EXPECT_FALSE(FileExists(ini_));
    EXPECT_TRUE(FakeLog().empty());
}

// A drop compresses with the form as it stands, not with the stored options,
// and stores nothing.
TEST_F(Buttons, DropUsesTheFormUnsavedAndLeavesTheSettingsAlone) {
    std::string input = dir_ + "\\notes.txt";
    ASSERT_TRUE(WriteBytes(input, "notes") && WriteBytes(ini_, "[Tessaro]\r\nCOMP_FORMAT=7Z\r\n"));
    SendMessageA(ControlHandle(1011), BM_CLICK, 0, 0);
    SendMessageA(ControlHandle(1019), BM_CLICK, 0, 0);
    UserSelect(1015, 0);
    UserSelect(1016, 5);
    UserSelect(1018, 2);
    std::string block = std::string(sizeof(DROPFILES), '\0') + input + '\0' + '\0';
    ((DROPFILES*)&block[0])->pFiles = sizeof(DROPFILES);
    HGLOBAL drop = GlobalAlloc(GHND, block.size());
    memcpy(GlobalLock(drop), block.data(), block.size());
    GlobalUnlock(drop);
    EXPECT_EQ(0, SendMessageA(wnd_, WM_DROPFILES, (WPARAM)drop, 0));
    EXPECT_EQ(std::vector<std::string>{HwndText(wnd_) + "\ta -tzip -p -mem=AES256 -mx=9 -r0 \"" +
                                       dir_ + "\\notes.zip\" \"" + input + "\"\tnull\t0"},
              FakeCalls("SevenZip"));
    EXPECT_TRUE(IsWindow(wnd_));
    EXPECT_EQ(kDefaults, Options());
    EXPECT_EQ("[Tessaro]\r\nCOMP_FORMAT=7Z\r\n", ReadBytes(ini_));
}

// Enter presses OK from every control but Cancel and DLL information;
// Escape presses Cancel from everywhere. Keys go to the focused control
// through the program's own message loop.
TEST_F(Buttons, EnterAndEscapeThroughTheMessageLoop) {
    struct {
        int focus;
        WPARAM key;
        bool saved, closed;
    } cases[] = {
        // clang-format off
        {1002, VK_RETURN, true, true}, {1006, VK_RETURN, true, true}, {1016, VK_RETURN, true, true},
        {1020, VK_RETURN, true, true}, {1021, VK_RETURN, false, false}, {1022, VK_RETURN, false, false},
        {1003, VK_ESCAPE, false, true}, {1007, VK_ESCAPE, false, true}, {1015, VK_ESCAPE, false, true},
        {1020, VK_ESCAPE, false, true}, {1021, VK_ESCAPE, false, true}, {1022, VK_ESCAPE, false, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.focus) + (c.key == VK_RETURN ? " Enter" : " Escape"));
        DeleteFileA(ini_.c_str());
        CloseMainWindow(wnd_);
        wnd_ = CreateMainWindow();
        SetFocus(ControlHandle(c.focus));
        ASSERT_EQ(ControlHandle(c.focus), GetFocus());
        PostMessageA(GetFocus(), WM_KEYDOWN, c.key, 1);
        PostMessageA(GetFocus(), WM_KEYUP, c.key, 0xC0000001);
        // Ends the loop after the keys whether or not the window closed.
        PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 99, 0);
        EXPECT_EQ(99, RunMessageLoop(wnd_));
        EXPECT_EQ(c.saved, FileExists(ini_));
        EXPECT_EQ(c.closed, !IsWindow(wnd_));
    }
}

} // namespace
