// What the buttons, the keyboard and a drop do to the settings record, the
// settings file and the fake library's log.
#include "app/mainwnd.h"
#include "app/startup.h"
#include "settings/ini.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>
#include <string>
#include <vector>

using namespace testsupport;
using namespace windowtest;

namespace {

const char kDefaultsFile[] = "[Tessaro]\r\n"
                             "DECOMPESS=DESKTOP\r\n"
                             "DECOMP_ALL=TRUE\r\n"
                             "DECOMP_DIR=TRUE\r\n"
                             "DECOMP_OPEN=TRUE\r\n"
                             "COMPESS=DESKTOP\r\n"
                             "COMP_FORMAT=7Z\r\n"
                             "COMP_LEVEL=LEVEL3\r\n"
                             "COMP_ENCRYPT=TRUE\r\n"
                             "COMP_ENC_METHOD=ZipCrypto\r\n"
                             "COMP_OPEN=TRUE\r\n";

// Each test gets a private folder for the settings file and the fake's
// script and log.
class Buttons : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDir("window");
        ASSERT_FALSE(dir_.empty());
        SetEnvironmentVariableA("FAKE7Z_DIR", dir_.c_str());
        FakeReset("[fake]\n");
        ini_ = dir_ + "\\Tessaro_test.ini";
        memset(g_ini.iniPath, 0, sizeof g_ini.iniPath);
        strncpy(g_ini.iniPath, ini_.c_str(), sizeof g_ini.iniPath - 1);
        SetOptions(kDefaults);
    }
    void TearDown() override {
        CloseMainWindow(wnd_);
        g_ini.iniPath[0] = '\0';
        SetEnvironmentVariableA("FAKE7Z_DIR", NULL);
        RemoveTree(dir_);
    }
    void Open() {
        wnd_ = CreateMainWindow();
        ASSERT_NE(wnd_, (HWND)NULL);
    }
    // Turns every option away from the defaults on the form only.
    void ChangeEverything() {
        SendMessageA(ControlHandle(1003), BM_CLICK, 0, 0);
        UserCheck(1006, false);
        SendMessageA(ControlHandle(1012), BM_CLICK, 0, 0);
        UserSelect(1015, 0);
        UserSelect(1016, 0);
        UserCheck(1017, false);
        UserSelect(1018, 2);
        UserCheck(1019, false);
    }
    std::string dir_, ini_;
    HWND wnd_ = NULL;
};

TEST_F(Buttons, OkWritesAllTenKeysInOrderEvenWhenNothingChanged) {
    Open();
    SendMessageA(ControlHandle(1020), BM_CLICK, 0, 0);
    EXPECT_EQ(ReadBytes(ini_), kDefaultsFile);
    EXPECT_FALSE(IsWindow(wnd_));
    EXPECT_EQ(ControlHandle(1020), (HWND)NULL); // the handles went with the window
}

TEST_F(Buttons, OkStoresTheFormIntoTheRecordAndTheFile) {
    Open();
    ChangeEverything();
    SendMessageA(ControlHandle(1020), BM_CLICK, 0, 0);
    const char expected[] = "DECOMPESS=SAMEPLACE\nDECOMP_ALL=FALSE\nDECOMP_DIR=TRUE\n"
                            "DECOMP_OPEN=TRUE\nCOMPESS=DECIDE\nCOMP_FORMAT=ZIP\n"
                            "COMP_LEVEL=LEVEL0\nCOMP_ENCRYPT=FALSE\nCOMP_ENC_METHOD=AES256\n"
                            "COMP_OPEN=FALSE\n";
    EXPECT_EQ(DescribeSettings(), expected);
    std::string file = "[Tessaro]\n" + std::string(expected);
    std::string crlf;
    for (char c : file) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(ReadBytes(ini_), crlf);
}

// Cancel, the close command and the close box leave record and file alone.
TEST_F(Buttons, ClosingWithoutOkStoresNothing) {
    const struct {
        const char* name;
        bool toButton;
        UINT msg;
        WPARAM wParam;
    } closers[] = {
        {"Cancel", true, BM_CLICK, 0},
        {"WM_CLOSE", false, WM_CLOSE, 0},
        {"close box", false, WM_SYSCOMMAND, SC_CLOSE},
    };
    const std::string defaults = DescribeSettings();
    for (const auto& c : closers) {
        SCOPED_TRACE(c.name);
        Open();
        ChangeEverything();
        SendMessageA(c.toButton ? ControlHandle(1021) : wnd_, c.msg, c.wParam, 0);
        PumpMessages();
        EXPECT_FALSE(IsWindow(wnd_));
        EXPECT_FALSE(FileExists(ini_));
        EXPECT_EQ(DescribeSettings(), defaults);
    }
}

TEST_F(Buttons, DllInformationOpensTheLibraryDialogThenFocusesItsButton) {
    Open();
    SetFocus(ControlHandle(1006));
    SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(1022, BN_CLICKED), (LPARAM)ControlHandle(1022));
    EXPECT_EQ(FakeCalls("SevenZipConfigDialog"),
              std::vector<std::string>{HwndText(wnd_) + "\tnull\t0"});
    EXPECT_EQ(GetFocus(), ControlHandle(1022));
    EXPECT_TRUE(IsWindow(wnd_));
    EXPECT_FALSE(FileExists(ini_));
}

// The dialog keyboard's IDOK and IDCANCEL, and ids of no control, do nothing.
TEST_F(Buttons, CommandsOfNoControlDoNothing) {
    Open();
    for (int id : {IDOK, IDCANCEL, 1001, 1014, 1023, 0}) {
        SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    EXPECT_TRUE(IsWindow(wnd_));
    EXPECT_FALSE(FileExists(ini_));
    EXPECT_TRUE(FakeLog().empty());
}

// A drop handle as the shell builds one: ANSI names, double-NUL ended.
HDROP MakeDrop(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths) {
        size += p.size() + 1;
    }
    HGLOBAL mem = GlobalAlloc(GHND, size);
    DROPFILES* df = (DROPFILES*)GlobalLock(mem);
    df->pFiles = sizeof(DROPFILES);
    df->fWide = FALSE;
    char* out = (char*)(df + 1);
    for (const std::string& p : paths) {
        memcpy(out, p.c_str(), p.size() + 1);
        out += p.size() + 1;
    }
    GlobalUnlock(mem);
    return (HDROP)mem;
}

// A drop compresses with the form as it stands, not with the stored options.
TEST_F(Buttons, DropUsesTheFormUnsavedAndLeavesTheSettingsAlone) {
    const struct {
        const char* name;
        void (*change)();
        const char* command; // %s: the folder of the dropped file
    } cases[] = {
        {"ZIP with AES256 at the highest level",
         [] {
             UserSelect(1015, 0);
             UserSelect(1016, 5);
             UserCheck(1017, true);
             UserSelect(1018, 2);
         },
         "a -tzip -p -mem=AES256 -mx=9 -r0 \"%s\\notes.zip\" \"%s\\notes.txt\""},
        {"7Z without compression", [] { UserSelect(1016, 0); },
         "a -t7z -mhe=off -mx=0 -ms=off -m0=LZMA2 -r0 \"%s\\notes.7z\" \"%s\\notes.txt\""},
    };
    const Options stored = {"DESKTOP", true,     true,  false,       "SAMEPLACE",
                            "7Z",      "LEVEL3", false, "ZipCrypto", false};
    const std::string storedFile = "[Tessaro]\r\nCOMP_FORMAT=7Z\r\n";
    std::string input = dir_ + "\\notes.txt";
    ASSERT_TRUE(WriteBytes(input, "notes"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeReset("[fake]\n");
        ASSERT_TRUE(WriteBytes(ini_, storedFile));
        SetOptions(stored);
        Open();
        c.change();
        std::string before = DescribeSettings();
        EXPECT_EQ(SendMessageA(wnd_, WM_DROPFILES, (WPARAM)MakeDrop({input}), 0), 0);
        char command[1024];
        wsprintfA(command, c.command, dir_.c_str(), dir_.c_str());
        std::vector<std::string> runs = FakeCalls("SevenZip");
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].substr(0, runs[0].find('\t', 9)), HwndText(wnd_) + "\t" + command);
        EXPECT_TRUE(IsWindow(wnd_));
        // Cancel afterwards: the job's options were never stored.
        SendMessageA(ControlHandle(1021), BM_CLICK, 0, 0);
        EXPECT_EQ(DescribeSettings(), before);
        EXPECT_EQ(ReadBytes(ini_), storedFile);
        CloseMainWindow(wnd_);
    }
}

// Enter presses OK from every control but Cancel and DLL information;
// Escape presses Cancel from everywhere. Keys go to the focused control
// through the program's own message loop.
TEST_F(Buttons, EnterAndEscapeThroughTheMessageLoop) {
    const struct {
        int focus;
        WPARAM key;
        bool saved; // OK pressed
        bool closed;
    } cases[] = {
        {1002, VK_RETURN, true, true},   {1006, VK_RETURN, true, true},
        {1016, VK_RETURN, true, true},   {1020, VK_RETURN, true, true},
        {1021, VK_RETURN, false, false}, {1022, VK_RETURN, false, false},
        {1003, VK_ESCAPE, false, true},  {1007, VK_ESCAPE, false, true},
        {1015, VK_ESCAPE, false, true},  {1020, VK_ESCAPE, false, true},
        {1021, VK_ESCAPE, false, true},  {1022, VK_ESCAPE, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.focus) + (c.key == VK_RETURN ? " Enter" : " Escape"));
        DeleteFileA(ini_.c_str());
        Open();
        HWND focus = ControlHandle(c.focus);
        SetFocus(focus);
        ASSERT_EQ(GetFocus(), focus);
        PostMessageA(focus, WM_KEYDOWN, c.key, 1);
        PostMessageA(focus, WM_KEYUP, c.key, 0xC0000001);
        // Ends the loop after the keys whether or not the window closed.
        PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 99, 0);
        EXPECT_EQ(RunMessageLoop(wnd_), 99);
        EXPECT_EQ(FileExists(ini_), c.saved);
        EXPECT_EQ(!IsWindow(wnd_), c.closed);
        CloseMainWindow(wnd_);
    }
}

} // namespace
