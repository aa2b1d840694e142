// The form as the user gets it: every control's class, text, style, place,
// list items, font and tab order, written out here independently of the
// program; the ten options between the settings record and the controls,
// both ways, and the two controls that steer the encryption-method list.
#include "tests/support/files.h"
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <vector>

using namespace windowtest;

namespace {

// clang-format off
// As CreateWindowExA gets each control: id, class, text, style, place and size
// (a list's height includes its dropped part), in creation and tab order.
const std::vector<std::string> kCreated = {
    "1001 BUTTON 解凍先 50020007 6,4 200x92", "1002 BUTTON デスクトップ 50010009 14,22 75x16",
    "1003 BUTTON ファイルと同じ場所 50010009 14,46 110x16", "1004 BUTTON 解凍の度に指定 50010009 14,70 100x16",
    "1005 BUTTON 解凍オプション 50020007 6,104 200x92", "1006 BUTTON 全て圧縮形式なら解凍する 50010003 14,122 150x16",
    "1007 BUTTON フォルダを作ってその中に解凍 50010003 14,146 160x16", "1008 BUTTON 解凍後フォルダを開く 50010003 14,170 120x16",
    "1009 BUTTON 圧縮先 50020007 216,4 212x92", "1010 BUTTON デスクトップ 50010009 224,22 75x16",
    "1011 BUTTON ファイルと同じ場所 50010009 224,46 110x16", "1012 BUTTON 圧縮の度に指定 50010009 224,70 100x16",
    "1013 BUTTON 圧縮オプション 50020007 216,104 212x92", "1014 STATIC 圧縮形式 50000000 224,124 50x12",
    "1015 COMBOBOX  50210003 277,120 44x100", "1016 COMBOBOX  50210003 325,120 75x100",
    "1017 BUTTON 圧縮時に暗号化する 50010003 224,146 120x16", "1018 COMBOBOX  50210003 346,142 75x100",
    "1019 BUTTON 圧縮後フォルダを開く 50010003 224,170 120x16", "1020 BUTTON OK 50030001 90,204 85x24",
    "1021 BUTTON ｷｬﾝｾﾙ 50010000 182,204 85x24", "1022 BUTTON DLLの情報 50010000 274,204 85x24",
};
// clang-format on

std::vector<std::string> g_created;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
    const CREATESTRUCTA* cs = ((CBT_CREATEWNDA*)lParam)->lpcs;
    char parent[64] = {0}, line[512];
    if (code == HCBT_CREATEWND && (cs->style & WS_CHILD) &&
        GetClassNameA(cs->hwndParent, parent, sizeof parent) && !strcmp(parent, MAIN_CLASS_NAME)) {
        wsprintfA(line, "%d %s %s %08lX %d,%d %dx%d", (int)(INT_PTR)cs->hMenu, cs->lpszClass,
                  cs->lpszName, cs->style | cs->dwExStyle, cs->x, cs->y, cs->cx, cs->cy);
        g_created.push_back(line);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST(Form, EveryControlAsCreatedAndAsItLives) {
    ASSERT_EQ("B7 AC DD BE D9", testsupport::Hex("ｷｬﾝｾﾙ"))
        << "sources must compile to code page 932";
    SetOptions(kDefaults);
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordCreation, NULL, GetCurrentThreadId());
    HWND wnd = CreateMainWindow();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(kCreated, g_created);
    // Live, in z-order (the tab order): the ids in order, one font, the lists' items.
    HFONT font = (HFONT)SendMessageA(ControlHandle(1001), WM_GETFONT, 0, 0);
    int id = 1001;
    std::string items;
    for (HWND c = GetWindow(wnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT), ++id) {
        EXPECT_EQ(id, GetDlgCtrlID(c));
        EXPECT_EQ(c, ControlHandle(id));
        EXPECT_EQ(font, (HFONT)SendMessageA(c, WM_GETFONT, 0, 0)) << id;
        for (int i = 0; i < SendMessageA(c, CB_GETCOUNT, 0, 0); ++i) {
            WCHAR text[64] = {0};
            SendMessageW(c, CB_GETLBTEXT, i, (LPARAM)text);
            char bytes[128] = {0};
            WideCharToMultiByte(932, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
            items += std::string(bytes) + "|";
        }
    }
    EXPECT_EQ(1023, id);
    EXPECT_EQ("ZIP|7Z|無圧縮|最低圧縮|低圧縮|標準圧縮|高圧縮|最高圧縮|ZipCrypto|AES128|AES256|",
              items);
    EXPECT_EQ((HWND)NULL, ControlHandle(1000));
    EXPECT_EQ((HWND)NULL, ControlHandle(1023));
    LOGFONTA lf;
    ASSERT_EQ((int)sizeof lf, GetObjectA(font, sizeof lf, &lf));
    char described[128];
    wsprintfA(described, "%s %ld %ld %ld %d %d", lf.lfFaceName, lf.lfHeight, lf.lfWidth,
              lf.lfWeight, lf.lfCharSet, lf.lfItalic | lf.lfUnderline | lf.lfStrikeOut);
    EXPECT_STREQ("MS UI Gothic 12 0 400 128 0", described);
    // Centred across the desktop, a third down, never off its top or left.
    const int cases[][4] = {{1920, 1080, 740, 273}, {300, 200, 0, 0}, {1000, 200, 280, 0}};
    for (auto& c : cases) {
        RECT desktop = {0, 0, c[0], c[1]}, r;
        CenterWindowOn(wnd, &desktop);
        GetWindowRect(wnd, &r);
        EXPECT_EQ(c[2], r.left) << c[0] << "x" << c[1];
        EXPECT_EQ(c[3], r.top) << c[0] << "x" << c[1];
    }
    CloseMainWindow(wnd);
}

TEST(SettingsForm, ApplyShowsEachOptionAndStoreTakesItBack) {
    const char* cases[][2] = {
        // clang-format off
        {kDefaults, "10011110011 1 3 0 hidden enabled"},
        {"SAMEPLACE|0|1|0|DECIDE|ZIP|LEVEL0|0|AES256|0", "01001000100 0 0 2 shown disabled"},
        {"DECIDE|1|0|1|SAMEPLACE|ZIP|LEVEL5|1|AES128|1", "00110101011 0 5 1 shown enabled"},
        // Texts outside the value sets, or in another case, leave their controls as created.
        {"desktop|0|0|0||zip|LEVEL6|0|AES192|0", "00000000000 -1 -1 -1 shown disabled"},
        // clang-format on
    };
    for (auto& c : cases) {
        SetOptions(c[0]);
        HWND wnd = CreateMainWindow();
        EXPECT_EQ(c[1], DescribeControls()) << c[0];
        EXPECT_EQ(ControlHandle(1002), GetFocus()) << "whatever is checked";
        // Store takes the same back; nothing chosen keeps a text as it was.
        SetOptions("DECIDE|1|1|1|SAMEPLACE|ZIP|LEVEL1|1|AES128|1");
        memset(g_ini.COMP_LEVEL, 'X', sizeof g_ini.COMP_LEVEL - 1);
        StoreControlsToSettings();
        std::string stored = c[0][0] == 'd' ? "DECIDE|0|0|0|SAMEPLACE|ZIP|XXXXXX|0|AES128|0" : c[0];
        EXPECT_EQ(stored, Options());
        CloseMainWindow(wnd);
    }
    // Two radios on: the first in id order is stored.
    SetOptions("?|0|0|0|?|?|?|0|?|0");
    HWND wnd = CreateMainWindow();
    for (int id : {1003, 1004, 1012}) {
        SendMessageA(ControlHandle(id), BM_SETCHECK, BST_CHECKED, 0);
    }
    StoreControlsToSettings();
    EXPECT_EQ("SAMEPLACE|0|0|0|DECIDE|?|?|0|?|0", Options());
    CloseMainWindow(wnd);
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
        {1015, CBN_DROPDOWN, 0, "10011110001 0 3 1 hidden disabled"},
        {1015, CBN_SELCHANGE, 0, "10011110001 0 3 1 shown disabled"},
        {1015, CBN_SELCHANGE, -1, "10011110001 -1 3 1 shown disabled"},
        {1017, BN_SETFOCUS, 1, "10011110011 -1 3 1 shown enabled"},
        // clang-format on
    };
    SetOptions("DESKTOP|1|1|1|DESKTOP|7Z|LEVEL3|0|AES128|1");
    HWND wnd = CreateMainWindow();
    EXPECT_EQ("10011110001 1 3 1 hidden disabled", DescribeControls());
    for (auto& s : steps) {
        HWND control = ControlHandle(s.id);
        SendMessageA(control, s.id == 1015 ? CB_SETCURSEL : BM_SETCHECK, (WPARAM)s.state, 0);
        SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(s.id, s.code), (LPARAM)control);
        EXPECT_EQ(s.after, DescribeControls()) << s.id << " " << s.code;
    }
    SendMessageA(ControlHandle(1017), BM_CLICK, 0, 0); // a real click through the button
    EXPECT_EQ("10011110001 -1 3 1 shown disabled", DescribeControls());
    CloseMainWindow(wnd);
}

} // namespace
