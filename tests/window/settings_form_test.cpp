// The ten options between the settings record and the controls, both ways,
// and the two controls that steer the encryption-method list.
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <vector>

using namespace windowtest;

namespace {

TEST(SettingsForm, ApplyShowsEachOptionInItsControls) {
    const char* cases[][2] = {
        // clang-format off
        {kDefaults, "10011110011 1 3 0 hidden enabled"},
        {"SAMEPLACE|0|1|0|DECIDE|ZIP|LEVEL0|0|AES256|0", "01001000100 0 0 2 shown disabled"},
        {"DECIDE|1|0|1|SAMEPLACE|ZIP|LEVEL5|1|AES128|1", "00110101011 0 5 1 shown enabled"},
        // Texts outside the value sets, or in another case, leave their controls as created.
        {"desktop|0|0|0||zip|LEVEL6|0|AES192|0", "00000000000 -1 -1 -1 shown disabled"},
        {"Desktop|1|1|1|DESKTOP |7z|level3|1|zipcrypto|1", "00011100011 -1 -1 -1 shown enabled"},
        // clang-format on
    };
    g_ini.iniPath[0] = '\0';
    for (auto& c : cases) {
        SetOptions(c[0]);
        HWND wnd = CreateMainWindow();
        EXPECT_EQ(c[1], DescribeControls()) << c[0];
        EXPECT_EQ(ControlHandle(1002), GetFocus()) << "whatever is checked";
        CloseMainWindow(wnd);
    }
}

TEST(SettingsForm, StoreTakesEachOptionFromItsControls) {
    struct {
        std::vector<int> checked;  // every other radio and check box off
        int format, level, method; // -1: nothing selected
        const char* stored;
    } cases[] = {
        // clang-format off
        {{1003, 1007, 1012, 1017}, 0, 5, 2, "SAMEPLACE|0|1|0|DECIDE|ZIP|LEVEL5|1|AES256|0"},
        // With nothing chosen the texts stay as they were.
        {{}, -1, -1, -1, "DECIDE|0|0|0|SAMEPLACE|ZIP|LEVEL1|0|AES128|0"},
        // Two radios on: the first in id order wins.
        {{1003, 1004, 1006, 1008, 1010, 1012, 1019}, 1, 0, 0, "SAMEPLACE|1|0|1|DESKTOP|7Z|LEVEL0|0|ZipCrypto|1"},
        // clang-format on
    };
    g_ini.iniPath[0] = '\0';
    for (auto& c : cases) {
        SetOptions("DECIDE|1|1|1|SAMEPLACE|ZIP|LEVEL1|1|AES128|1");
        HWND wnd = CreateMainWindow();
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
        EXPECT_EQ(c.stored, Options());
        // A text is replaced whole: no tail of a longer earlier value survives.
        memset(g_ini.COMP_ENC_METHOD, 'X', sizeof g_ini.COMP_ENC_METHOD);
        SendMessageA(ControlHandle(1018), CB_SETCURSEL, 1, 0);
        StoreControlsToSettings();
        EXPECT_EQ(std::string("AES128\0\0\0\0", 10),
                  std::string(g_ini.COMP_ENC_METHOD, sizeof g_ini.COMP_ENC_METHOD));
        CloseMainWindow(wnd);
    }
}

// The format list shows the method list for ZIP only, on a selection change
// alone; the encryption box enables it on any notification, shown or not.
TEST(SettingsForm, FormatAndEncryptionSteerTheMethodList) {
    struct {
        int id, code, state; // the state first (a selection or a check), then the notification
        const char* after;
    } steps[] = {
        // clang-format off
        {1015, CBN_SELCHANGE, 0, "10011110001 0 3 1 shown disabled"},
        {1017, BN_CLICKED, 1, "10011110011 0 3 1 shown enabled"},
        {1015, CBN_SELCHANGE, 1, "10011110011 1 3 1 hidden enabled"},
        {1017, BN_CLICKED, 0, "10011110001 1 3 1 hidden disabled"},
        {1015, CBN_SELENDOK, 0, "10011110001 0 3 1 hidden disabled"},
        {1015, CBN_CLOSEUP, 0, "10011110001 0 3 1 hidden disabled"},
        {1015, CBN_DROPDOWN, 0, "10011110001 0 3 1 hidden disabled"},
        {1015, CBN_SETFOCUS, 0, "10011110001 0 3 1 hidden disabled"},
        {1015, CBN_KILLFOCUS, 0, "10011110001 0 3 1 hidden disabled"},
        {1015, CBN_SELCHANGE, 0, "10011110001 0 3 1 shown disabled"},
        {1015, CBN_SELCHANGE, -1, "10011110001 -1 3 1 shown disabled"},
        {1017, BN_SETFOCUS, 1, "10011110011 -1 3 1 shown enabled"},
        // clang-format on
    };
    g_ini.iniPath[0] = '\0';
    SetOptions("DESKTOP|1|1|1|DESKTOP|7Z|LEVEL3|0|AES128|1");
    HWND wnd = CreateMainWindow();
    EXPECT_EQ("10011110001 1 3 1 hidden disabled", DescribeControls());
    for (auto& s : steps) {
        HWND control = ControlHandle(s.id);
        SendMessageA(control, s.id == 1015 ? CB_SETCURSEL : BM_SETCHECK, (WPARAM)s.state, 0);
        SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(s.id, s.code), (LPARAM)control);
        EXPECT_EQ(s.after, DescribeControls()) << s.id << " " << s.code;
    }
    // A real click through the button itself.
    SendMessageA(ControlHandle(1017), BM_CLICK, 0, 0);
    EXPECT_EQ("10011110001 -1 3 1 shown disabled", DescribeControls());
    CloseMainWindow(wnd);
}

} // namespace
