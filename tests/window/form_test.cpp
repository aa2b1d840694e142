// The form as the user gets it: every control's class, text, style, place
// and font, as created and as it lives, compared with numbers and code page
// 932 texts written out here independently of the program's own table; the
// ten options between the settings record and the controls, both ways, and
// the two controls that steer the encryption-method list.
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <vector>

using namespace windowtest;

static bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b);
}

namespace {

// WS_CHILD|WS_VISIBLE 0x50000000, WS_GROUP 0x00020000, WS_TABSTOP 0x00010000,
// WS_VSCROLL 0x00200000, then the control's own style.
const DWORD kGroupBox = 0x50020007, kRadio = 0x50010009, kCheck = 0x50010003, kLabel = 0x50000000,
            kList = 0x50210003, kOk = 0x50030001, kPush = 0x50010000;

struct Control {
    int id;
    const char *className, *text; // a list's items, each followed by '|'
    DWORD style;
    int x, y, width, height; // a list's height includes its dropped part
};

// clang-format off
const Control kForm[] = {
    {1001, "BUTTON", "解凍先", kGroupBox, 6, 4, 200, 92},
    {1002, "BUTTON", "デスクトップ", kRadio, 14, 22, 75, 16},
    {1003, "BUTTON", "ファイルと同じ場所", kRadio, 14, 46, 110, 16},
    {1004, "BUTTON", "解凍の度に指定", kRadio, 14, 70, 100, 16},
    {1005, "BUTTON", "解凍オプション", kGroupBox, 6, 104, 200, 92},
    {1006, "BUTTON", "全て圧縮形式なら解凍する", kCheck, 14, 122, 150, 16},
    {1007, "BUTTON", "フォルダを作ってその中に解凍", kCheck, 14, 146, 160, 16},
    {1008, "BUTTON", "解凍後フォルダを開く", kCheck, 14, 170, 120, 16},
    {1009, "BUTTON", "圧縮先", kGroupBox, 216, 4, 212, 92},
    {1010, "BUTTON", "デスクトップ", kRadio, 224, 22, 75, 16},
    {1011, "BUTTON", "ファイルと同じ場所", kRadio, 224, 46, 110, 16},
    {1012, "BUTTON", "圧縮の度に指定", kRadio, 224, 70, 100, 16},
    {1013, "BUTTON", "圧縮オプション", kGroupBox, 216, 104, 212, 92},
    {1014, "STATIC", "圧縮形式", kLabel, 224, 124, 50, 12},
    {1015, "COMBOBOX", "ZIP|7Z|", kList, 277, 120, 44, 100},
    {1016, "COMBOBOX", "無圧縮|最低圧縮|低圧縮|標準圧縮|高圧縮|最高圧縮|", kList, 325, 120, 75, 100},
    {1017, "BUTTON", "圧縮時に暗号化する", kCheck, 224, 146, 120, 16},
    {1018, "COMBOBOX", "ZipCrypto|AES128|AES256|", kList, 346, 142, 75, 100},
    {1019, "BUTTON", "圧縮後フォルダを開く", kCheck, 224, 170, 120, 16},
    {1020, "BUTTON", "OK", kOk, 90, 204, 85, 24},
    {1021, "BUTTON", "ｷｬﾝｾﾙ", kPush, 182, 204, 85, 24},
    {1022, "BUTTON", "DLLの情報", kPush, 274, 204, 85, 24},
};
// clang-format on

// One control in one line: id, class, text, styles, place and size.
std::string Describe(int id, std::string className, const std::string& text, DWORD style,
                     DWORD exStyle, int x, int y, int width, int height) {
    char line[512];
    CharUpperA(&className[0]);
    wsprintfA(line, "%d %s %s %08lX %lX %d,%d %dx%d", id, className.c_str(), text.c_str(), style,
              exStyle, x, y, width, height);
    return line;
}

std::vector<std::string> g_created; // the main window's children, as CreateWindowExA got them

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
    const CREATESTRUCTA* cs = ((CBT_CREATEWNDA*)lParam)->lpcs;
    char parent[64] = {0};
    if (code == HCBT_CREATEWND && (cs->style & WS_CHILD) &&
        GetClassNameA(cs->hwndParent, parent, sizeof parent) && !strcmp(parent, MAIN_CLASS_NAME)) {
        g_created.push_back(Describe((int)(INT_PTR)cs->hMenu,
                                     HIWORD(cs->lpszClass) ? cs->lpszClass : "#atom",
                                     cs->lpszName ? cs->lpszName : "(null)", cs->style,
                                     cs->dwExStyle, cs->x, cs->y, cs->cx, cs->cy));
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST(Form, EveryControlAsCreatedAndAsItLivesInTabOrder) {
    SetOptions(kDefaults);
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordCreation, NULL, GetCurrentThreadId());
    HWND wnd = CreateMainWindow();
    UnhookWindowsHookEx(hook);
    ASSERT_NE((HWND)NULL, wnd);
    std::vector<std::string> created, expected, live;
    for (const Control& c : kForm) {
        bool list = c.style == kList;
        created.push_back(Describe(c.id, c.className, list ? "" : c.text, c.style, 0, c.x, c.y,
                                   c.width, c.height));
        expected.push_back(
            Describe(c.id, c.className, c.text, c.style, 0, c.x, c.y, c.width, c.height));
    }
    EXPECT_EQ(created, g_created);
    // Live, in z-order (the tab order). Wine hands a list's scroll bar to its
    // list box and a closed list has the system's height; the settings steer
    // whether 1018 is shown and enabled.
    HFONT font = (HFONT)SendMessageA(ControlHandle(1001), WM_GETFONT, 0, 0);
    for (HWND c = GetWindow(wnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(c);
        char className[64] = {0}, text[256] = {0};
        GetClassNameA(c, className, sizeof className);
        GetWindowTextA(c, text, sizeof text);
        DWORD style = (DWORD)GetWindowLongA(c, GWL_STYLE);
        bool list = !strcmp(className, "ComboBox");
        std::string items;
        for (int i = 0; list && i < SendMessageA(c, CB_GETCOUNT, 0, 0); ++i) {
            SendMessageA(c, CB_GETLBTEXT, i, (LPARAM)text);
            items += std::string(text) + "|";
        }
        style = (list ? style | WS_VSCROLL : style) | (id == 1018 ? WS_VISIBLE : 0);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(NULL, wnd, (POINT*)&r, 2);
        live.push_back(Describe(id, className, list ? items : text, style & ~WS_DISABLED, 0, r.left,
                                r.top, r.right - r.left, list ? 100 : r.bottom - r.top));
        EXPECT_EQ(c, ControlHandle(id));
        EXPECT_EQ(font, (HFONT)SendMessageA(c, WM_GETFONT, 0, 0)) << id;
    }
    EXPECT_EQ(expected, live);
    EXPECT_EQ((HWND)NULL, ControlHandle(1000));
    EXPECT_EQ((HWND)NULL, ControlHandle(1023));
    LOGFONTA lf;
    ASSERT_EQ((int)sizeof lf, GetObjectA(font, sizeof lf, &lf));
    char described[128];
    wsprintfA(described, "%s %ld %ld %ld %d %d", lf.lfFaceName, lf.lfHeight, lf.lfWidth,
              lf.lfWeight, lf.lfCharSet, lf.lfItalic | lf.lfUnderline | lf.lfStrikeOut);
    EXPECT_STREQ("MS UI Gothic 12 0 400 128 0", described);
    // Centred across the real desktop, a third down.
    RECT desktop, r;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(wnd, &r);
    EXPECT_EQ(std::max(0L, (desktop.right - 440) / 2), r.left);
    EXPECT_EQ(std::max(0L, (desktop.bottom - 260) / 3), r.top);
    EXPECT_TRUE(IsWindowVisible(wnd));
    CloseMainWindow(wnd);
}

// CreateControls alone, on a plain window: nothing checked or selected.
TEST(Form, CreateControlsLeavesEverythingUnsetAndTheMethodListShown) {
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 440, 260, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    CreateControls(plain);
    EXPECT_EQ("00000000000 -1 -1 -1 shown enabled", DescribeControls());
    DestroyWindow(plain);
}

TEST(Form, CenterWindowOnPlacesAcrossTheMiddleAndAThirdDownNeverNegative) {
    SetOptions(kDefaults);
    HWND wnd = CreateMainWindow();
    // clang-format off
    const int cases[][4] = {{1920, 1080, 740, 273}, {1024, 768, 292, 169}, {300, 200, 0, 0}, {1000, 200, 280, 0}, {400, 900, 0, 213}};
    // clang-format on
    for (auto& c : cases) {
        ShowWindow(wnd, SW_HIDE);
        RECT desktop = {0, 0, c[0], c[1]}, r;
        CenterWindowOn(wnd, &desktop);
        GetWindowRect(wnd, &r);
        EXPECT_EQ(RECT({c[2], c[3], c[2] + 440, c[3] + 260}), r) << c[0] << "x" << c[1];
        EXPECT_TRUE(IsWindowVisible(wnd));
    }
    CloseMainWindow(wnd);
}

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
        std::vector<int> checked;  // radios and check boxes on
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
    for (auto& c : cases) {
        SetOptions("?|0|0|0|?|?|?|0|?|0"); // a form with nothing set
        HWND wnd = CreateMainWindow();
        SetOptions("DECIDE|1|1|1|SAMEPLACE|ZIP|LEVEL1|1|AES128|1");
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
