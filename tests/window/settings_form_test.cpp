// The ten options between the settings record and the controls, both ways,
// and the two controls that steer the encryption-method list.
#include "app/mainwnd.h"
#include "settings/ini.h"
#include "tests/support/files.h"
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <string>
#include <string.h>
#include <vector>

using namespace windowtest;

namespace {

// Control states as one text: radios and check boxes "1"/"0" in id order,
// then the three list selections, then 1018 visible/enabled.
std::string DescribeControls() {
    std::string s;
    for (int id : {1002, 1003, 1004, 1006, 1007, 1008, 1010, 1011, 1012, 1017, 1019}) {
        s += CheckState(id) == BST_CHECKED ? '1' : '0';
    }
    for (int id : {1015, 1016, 1018}) {
        s += ' ';
        s += std::to_string(Selection(id));
    }
    HWND method = ControlHandle(1018);
    s += IsWindowVisible(method) ? " shown" : " hidden";
    s += IsWindowEnabled(method) ? " enabled" : " disabled";
    return s;
}

class SettingsForm : public ::testing::Test {
  protected:
    void SetUp() override { g_ini.iniPath[0] = '\0'; }
    void TearDown() override { CloseMainWindow(wnd_); }
    void Open(const Options& o) {
        SetOptions(o);
        wnd_ = CreateMainWindow();
        ASSERT_NE(wnd_, (HWND)NULL);
    }
    HWND wnd_ = NULL;
};

struct ApplyCase {
    const char* name;
    Options options;
    const char* controls; // DescribeControls after creation
};

const ApplyCase kApplyCases[] = {
    {"defaults",
     {"DESKTOP", true, true, true, "DESKTOP", "7Z", "LEVEL3", true, "ZipCrypto", true},
     "10011110011 1 3 0 hidden enabled"},
    {"other values",
     {"SAMEPLACE", false, true, false, "DECIDE", "ZIP", "LEVEL0", false, "AES256", false},
     "01001000100 0 0 2 shown disabled"},
    {"last of each",
     {"DECIDE", true, false, true, "SAMEPLACE", "ZIP", "LEVEL5", true, "AES128", true},
     "00110101011 0 5 1 shown enabled"},
    // Texts outside the value sets leave their controls as created.
    {"unknown texts",
     {"desktop", false, false, false, "", "zip", "LEVEL6", false, "AES192", false},
     "00000000000 -1 -1 -1 shown disabled"},
    {"case differs",
     {"Desktop", true, true, true, "DESKTOP ", "7z", "level3", true, "zipcrypto", true},
     "00011100011 -1 -1 -1 shown enabled"},
};

TEST_F(SettingsForm, ApplyShowsEachOptionInItsControls) {
    for (const ApplyCase& c : kApplyCases) {
        SCOPED_TRACE(c.name);
        Open(c.options);
        EXPECT_EQ(DescribeControls(), c.controls);
        CloseMainWindow(wnd_);
    }
}

// What the user leaves on the form, and what OK stores from it.
struct StoreCase {
    const char* name;
    std::vector<int> checked;  // every other radio and check box off
    int format, level, method; // selections; -1 none
    const char* stored;
};

const StoreCase kStoreCases[] = {
    {"everything set",
     {1003, 1007, 1012, 1017},
     0,
     5,
     2,
     "DECOMPESS=SAMEPLACE\nDECOMP_ALL=FALSE\nDECOMP_DIR=TRUE\nDECOMP_OPEN=FALSE\nCOMPESS=DECIDE\n"
     "COMP_FORMAT=ZIP\nCOMP_LEVEL=LEVEL5\nCOMP_ENCRYPT=TRUE\nCOMP_ENC_METHOD=AES256\n"
     "COMP_OPEN=FALSE\n"},
    // With nothing chosen the stored texts stay as they were (the record
    // starts from "DECIDE"/"SAMEPLACE"/"ZIP"/"LEVEL1"/"AES128").
    {"nothing chosen",
     {},
     -1,
     -1,
     -1,
     "DECOMPESS=DECIDE\nDECOMP_ALL=FALSE\nDECOMP_DIR=FALSE\nDECOMP_OPEN=FALSE\n"
     "COMPESS=SAMEPLACE\nCOMP_FORMAT=ZIP\nCOMP_LEVEL=LEVEL1\nCOMP_ENCRYPT=FALSE\n"
     "COMP_ENC_METHOD=AES128\nCOMP_OPEN=FALSE\n"},
    // Two radios on: the first in id order wins.
    {"two radios on",
     {1003, 1004, 1006, 1008, 1010, 1012, 1019},
     1,
     0,
     0,
     "DECOMPESS=SAMEPLACE\nDECOMP_ALL=TRUE\nDECOMP_DIR=FALSE\nDECOMP_OPEN=TRUE\n"
     "COMPESS=DESKTOP\nCOMP_FORMAT=7Z\nCOMP_LEVEL=LEVEL0\nCOMP_ENCRYPT=FALSE\n"
     "COMP_ENC_METHOD=ZipCrypto\nCOMP_OPEN=TRUE\n"},
};

TEST_F(SettingsForm, StoreTakesEachOptionFromItsControls) {
    const Options start = {"DECIDE", true,     true, true,     "SAMEPLACE",
                           "ZIP",    "LEVEL1", true, "AES128", true};
    for (const StoreCase& c : kStoreCases) {
        SCOPED_TRACE(c.name);
        Open(start);
        for (int id : {1002, 1003, 1004, 1006, 1007, 1008, 1010, 1011, 1012, 1017, 1019}) {
            SendMessageA(ControlHandle(id), BM_SETCHECK, BST_UNCHECKED, 0);
        }
        for (int id : c.checked) {
            SendMessageA(ControlHandle(id), BM_SETCHECK, BST_CHECKED, 0);
        }
        SendMessageA(ControlHandle(1015), CB_SETCURSEL, (WPARAM)c.format, 0);
        SendMessageA(ControlHandle(1016), CB_SETCURSEL, (WPARAM)c.level, 0);
        SendMessageA(ControlHandle(1018), CB_SETCURSEL, (WPARAM)c.method, 0);
        StoreControlsToSettings();
        EXPECT_EQ(DescribeSettings(), c.stored);
        CloseMainWindow(wnd_);
    }
}

// A text is replaced whole: no tail of a longer earlier value survives.
TEST_F(SettingsForm, StoreReplacesTextFieldsWhole) {
    Open(kDefaults);
    memset(g_ini.DECOMPESS, 'X', sizeof g_ini.DECOMPESS);
    memset(g_ini.COMP_ENC_METHOD, 'X', sizeof g_ini.COMP_ENC_METHOD);
    SendMessageA(ControlHandle(1018), CB_SETCURSEL, 1, 0);
    StoreControlsToSettings();
    EXPECT_EQ(std::string(g_ini.DECOMPESS, sizeof g_ini.DECOMPESS),
              std::string("DESKTOP\0\0\0", 10));
    EXPECT_EQ(std::string(g_ini.COMP_ENC_METHOD, sizeof g_ini.COMP_ENC_METHOD),
              std::string("AES128\0\0\0\0", 10));
}

TEST_F(SettingsForm, Apply_then_StoreKeepsEveryValue) {
    const Options o = {"DECIDE", false,    true,  false,    "SAMEPLACE",
                       "ZIP",    "LEVEL2", false, "AES256", true};
    Open(o);
    std::string before = DescribeSettings();
    SetOptions(kDefaults);
    StoreControlsToSettings();
    EXPECT_EQ(DescribeSettings(), before);
}

TEST_F(SettingsForm, FormatListShowsAndHidesTheMethodListKeepingItsState) {
    Options o = kDefaults;
    o.compFormat = "7Z";
    o.compEncrypt = false;
    o.compEncMethod = "AES128";
    Open(o);
    EXPECT_EQ(DescribeControls(), "10011110001 1 3 1 hidden disabled");
    UserSelect(1015, 0);
    EXPECT_EQ(DescribeControls(), "10011110001 0 3 1 shown disabled");
    UserCheck(1017, true);
    EXPECT_EQ(DescribeControls(), "10011110011 0 3 1 shown enabled");
    UserSelect(1015, 1);
    EXPECT_EQ(DescribeControls(), "10011110011 1 3 1 hidden enabled");
    UserCheck(1017, false); // enabling does not depend on visibility
    UserSelect(1015, 0);
    EXPECT_EQ(DescribeControls(), "10011110001 0 3 1 shown disabled");
}

TEST_F(SettingsForm, OnlySelectionChangeOfTheFormatListMovesTheMethodList) {
    Open(kDefaults); // 7Z: hidden
    HWND format = ControlHandle(1015);
    SendMessageA(format, CB_SETCURSEL, 0, 0);
    for (int code : {CBN_SELENDOK, CBN_CLOSEUP, CBN_DROPDOWN, CBN_SETFOCUS, CBN_KILLFOCUS}) {
        SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(1015, code), (LPARAM)format);
        EXPECT_FALSE(IsWindowVisible(ControlHandle(1018))) << code;
    }
    SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(1015, CBN_SELCHANGE), (LPARAM)format);
    EXPECT_TRUE(IsWindowVisible(ControlHandle(1018)));
    // A selection change to nothing leaves it as it is.
    SendMessageA(format, CB_SETCURSEL, (WPARAM)-1, 0);
    SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(1015, CBN_SELCHANGE), (LPARAM)format);
    EXPECT_TRUE(IsWindowVisible(ControlHandle(1018)));
}

TEST_F(SettingsForm, EncryptionBoxFollowsItsStateOnAnyNotification) {
    Open(kDefaults);
    HWND box = ControlHandle(1017);
    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(wnd_, WM_COMMAND, MAKEWPARAM(1017, BN_SETFOCUS), (LPARAM)box);
    EXPECT_FALSE(IsWindowEnabled(ControlHandle(1018)));
    // A real click through the button itself.
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(CheckState(1017), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(ControlHandle(1018)));
}

} // namespace
