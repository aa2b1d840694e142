// What the buttons and the keyboard do to the settings record, the settings
// file and the fake library's log.
#include "app/startup.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
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
        SetOptions();
        wnd_ = OpenMainWindow();
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
        for (int id : {IDC_DECOMP_SAMEPLACE, IDC_DECOMP_ALL, IDC_DECOMP_DIR, IDC_DECOMP_OPEN,
                       IDC_COMP_DECIDE, IDC_COMP_ENCRYPT, IDC_COMP_OPEN}) {
            SendMessageA(ControlHandle(id), BM_CLICK, 0, 0);
        }
        UserSelect(IDC_COMP_FORMAT, 0);
        UserSelect(IDC_COMP_LEVEL, 0);
        UserSelect(IDC_COMP_ENC_METHOD, 2);
    }
    std::string dir_, ini_;
    HWND wnd_ = NULL;
};

// OK stores every option as the form shows it (each control by name) and
// writes the settings file (its bytes are the settings tests' concern).
TEST_F(Buttons, OkStoresTheFormAndSavesIt) {
    ChangeEverything();
    SendMessageA(ControlHandle(IDC_OK), BM_CLICK, 0, 0);
    EXPECT_EQ("DECOMPESS=SAMEPLACE DECOMP_ALL=FALSE DECOMP_DIR=FALSE DECOMP_OPEN=FALSE "
              "COMPESS=DECIDE COMP_FORMAT=ZIP COMP_LEVEL=LEVEL0 COMP_ENCRYPT=FALSE "
              "COMP_ENC_METHOD=AES256 COMP_OPEN=FALSE",
              Options());
    EXPECT_TRUE(FileExists(ini_));
    EXPECT_FALSE(IsWindow(wnd_));
    EXPECT_EQ((HWND)NULL, ControlHandle(IDC_OK)); // the handles went with the window
}

// Cancel, the close command and the close box leave record and file alone.
TEST_F(Buttons, ClosingWithoutOkStoresNothing) {
    const std::pair<UINT, WPARAM> closers[] = {
        {BM_CLICK, 0}, {WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE}};
    for (const auto& c : closers) {
        ChangeEverything();
        SendMessageA(c.first == BM_CLICK ? ControlHandle(IDC_CANCEL) : wnd_, c.first, c.second, 0);
        PumpMessages();
        EXPECT_FALSE(IsWindow(wnd_)) << c.first;
        EXPECT_FALSE(FileExists(ini_));
        EXPECT_EQ("", Options());
        wnd_ = OpenMainWindow();
    }
}

TEST_F(Buttons, DllInformationOpensTheLibraryDialogThenFocusesItsButton) {
    SetFocus(ControlHandle(IDC_DECOMP_ALL));
    SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(IDC_DLLINFO, BN_CLICKED),
                 (LPARAM)ControlHandle(IDC_DLLINFO));
    EXPECT_EQ(std::vector<std::string>{HwndText(wnd_) + "\tnull\t0"},
              FakeCalls("SevenZipConfigDialog"));
    EXPECT_EQ(ControlHandle(IDC_DLLINFO), GetFocus());
    EXPECT_TRUE(IsWindow(wnd_));
    // The dialog keyboard's IDOK and IDCANCEL, and ids of no control, do nothing.
    FakeReset("[fake]\n");
    for (int id : {IDOK, IDCANCEL, IDC_DECOMP_GROUP, IDC_COMP_FORMAT_LABEL, IDC_DLLINFO + 1, 0}) {
        SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    EXPECT_TRUE(IsWindow(wnd_));
    EXPECT_FALSE(FileExists(ini_));
    EXPECT_TRUE(FakeLog().empty());
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
        {IDC_DECOMP_DESKTOP, VK_RETURN, true, true}, {IDC_DECOMP_ALL, VK_RETURN, true, true},
        {IDC_COMP_LEVEL, VK_RETURN, true, true}, {IDC_OK, VK_RETURN, true, true},
        {IDC_CANCEL, VK_RETURN, false, false}, {IDC_DLLINFO, VK_RETURN, false, false},
        {IDC_DECOMP_SAMEPLACE, VK_ESCAPE, false, true}, {IDC_DECOMP_DIR, VK_ESCAPE, false, true},
        {IDC_COMP_FORMAT, VK_ESCAPE, false, true}, {IDC_OK, VK_ESCAPE, false, true},
        {IDC_CANCEL, VK_ESCAPE, false, true}, {IDC_DLLINFO, VK_ESCAPE, false, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.focus) + (c.key == VK_RETURN ? " Enter" : " Escape"));
        DeleteFileA(ini_.c_str());
        CloseMainWindow(wnd_);
        wnd_ = OpenMainWindow();
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
