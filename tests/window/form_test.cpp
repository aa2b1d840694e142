// The form as the user gets it: every control's class, text, style, place
// and font, as created and as it lives, compared with numbers and code page
// 932 texts written out here independently of the program's own table.
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <vector>

using namespace windowtest;

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
    g_ini.iniPath[0] = '\0'; // nothing here may write a settings file
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
    g_ini.iniPath[0] = '\0';
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
        char expected[64], placed[64];
        wsprintfA(expected, "%d,%d 440x260 1", c[2], c[3]);
        wsprintfA(placed, "%ld,%ld %ldx%ld %d", r.left, r.top, r.right - r.left, r.bottom - r.top,
                  IsWindowVisible(wnd));
        EXPECT_STREQ(expected, placed);
    }
    CloseMainWindow(wnd);
}

} // namespace
