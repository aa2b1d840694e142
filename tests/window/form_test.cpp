// The form as the user gets it: every control's text, list items, font and
// tab order; the ten options between the settings record and the controls,
// both ways, and the two controls that steer the encryption-method list.
#include "tests/support/files.h"
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <vector>

using namespace windowtest;

namespace {

TEST(Form, EveryControlAsItLives) {
    ASSERT_EQ("B7 AC DD BE D9", testsupport::Hex("ｷｬﾝｾﾙ"))
        << "sources must compile to code page 932";
    SetOptions();
    HWND wnd = OpenMainWindow();
    // In z-order (the tab order): the ids in order, one font, the texts, the
    // lists' items; a tab stop on every control but the group boxes and the label.
    HFONT font = (HFONT)SendMessageA(ControlHandle(IDC_FIRST), WM_GETFONT, 0, 0);
    int id = IDC_FIRST;
    std::string texts, items;
    for (HWND c = GetWindow(wnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT), ++id) {
        EXPECT_EQ(id, GetDlgCtrlID(c));
        EXPECT_EQ(c, ControlHandle(id));
        EXPECT_EQ(font, (HFONT)SendMessageA(c, WM_GETFONT, 0, 0)) << id;
        LONG style = GetWindowLongA(c, GWL_STYLE);
        bool frame = (style & BS_TYPEMASK) == BS_GROUPBOX || id == IDC_COMP_FORMAT_LABEL;
        EXPECT_EQ(!frame, (style & WS_TABSTOP) != 0) << id;
        char text[64] = {0};
        GetWindowTextA(c, text, sizeof text);
        texts += std::string(text) + "|";
        for (int i = 0; i < SendMessageA(c, CB_GETCOUNT, 0, 0); ++i) {
            WCHAR wide[64] = {0};
            SendMessageW(c, CB_GETLBTEXT, i, (LPARAM)wide);
            char bytes[128] = {0};
            WideCharToMultiByte(932, 0, wide, -1, bytes, sizeof bytes, NULL, NULL);
            items += std::string(bytes) + "|";
        }
    }
    EXPECT_EQ(IDC_FIRST + CONTROL_COUNT, id);
    EXPECT_EQ("解凍先|デスクトップ|ファイルと同じ場所|解凍の度に指定|解凍オプション|"
              "全て圧縮形式なら解凍する|フォルダを作ってその中に解凍|解凍後フォルダを開く|圧縮先|"
              "デスクトップ|ファイルと同じ場所|圧縮の度に指定|圧縮オプション|圧縮形式|7Z|"
              "標準圧縮|圧縮時に暗号化する|ZipCrypto|圧縮後フォルダを開く|OK|ｷｬﾝｾﾙ|DLLの情報|",
              texts);
    EXPECT_EQ("ZIP|7Z|無圧縮|最低圧縮|低圧縮|標準圧縮|高圧縮|最高圧縮|ZipCrypto|AES128|AES256|",
              items);
    EXPECT_EQ((HWND)NULL, ControlHandle(IDC_FIRST - 1));
    EXPECT_EQ((HWND)NULL, ControlHandle(IDC_FIRST + CONTROL_COUNT));
    LOGFONTA lf;
    ASSERT_EQ((int)sizeof lf, GetObjectA(font, sizeof lf, &lf));
    char described[128];
    wsprintfA(described, "%s %ld %ld %ld %d %d", lf.lfFaceName, lf.lfHeight, lf.lfWidth,
              lf.lfWeight, lf.lfCharSet, lf.lfItalic | lf.lfUnderline | lf.lfStrikeOut);
    EXPECT_STREQ("MS UI Gothic 12 0 400 128 0", described);
    // A fixed frame (no resizing, no maximising) of 440 x 260 that takes drops.
    const LONG fixed = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(fixed, GetWindowLongA(wnd, GWL_STYLE) & (fixed | WS_THICKFRAME | WS_MAXIMIZEBOX));
    EXPECT_NE(0, GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_EQ((DWORD)(CS_HREDRAW | CS_VREDRAW), GetClassLongA(wnd, GCL_STYLE));
    // Centred across the desktop, a third down, never off its top or left.
    const int cases[][4] = {{1920, 1080, 740, 273}, {300, 200, 0, 0}, {1000, 200, 280, 0}};
    for (auto& c : cases) {
        RECT desktop = {0, 0, c[0], c[1]}, r;
        CenterWindowOn(wnd, &desktop);
        GetWindowRect(wnd, &r);
        EXPECT_EQ(c[2], r.left) << c[0] << "x" << c[1];
        EXPECT_EQ(c[3], r.top) << c[0] << "x" << c[1];
        EXPECT_EQ(440, r.right - r.left);
        EXPECT_EQ(260, r.bottom - r.top);
    }
    CloseMainWindow(wnd);
}

// Apply shows each option in its controls, which Store (checked control by
// control through the buttons) takes back; a text outside its set, or in
// another case, leaves its controls as created, and Store then keeps the text
// that was there.
TEST(SettingsForm, ApplyShowsEachOptionAndStoreTakesItBack) {
    const struct {
        const char *options, *methodList;
        const char* stored = NULL; // NULL: the options
    } cases[] = {
        {"", "hidden enabled"},
        {"DECOMPESS=SAMEPLACE DECOMP_ALL=FALSE DECOMP_OPEN=FALSE COMPESS=DECIDE COMP_FORMAT=ZIP "
         "COMP_LEVEL=LEVEL0 COMP_ENCRYPT=FALSE COMP_ENC_METHOD=AES256 COMP_OPEN=FALSE",
         "shown disabled"},
        {"DECOMPESS=DECIDE DECOMP_DIR=FALSE COMPESS=SAMEPLACE COMP_FORMAT=ZIP COMP_LEVEL=LEVEL5 "
         "COMP_ENC_METHOD=AES128",
         "shown enabled"},
        {"DECOMPESS=desktop DECOMP_ALL=FALSE DECOMP_DIR=FALSE DECOMP_OPEN=FALSE COMPESS= "
         "COMP_FORMAT=zip COMP_LEVEL=LEVEL6 COMP_ENCRYPT=FALSE COMP_ENC_METHOD=AES192 "
         "COMP_OPEN=FALSE",
         "shown disabled",
         "DECOMPESS=DECIDE DECOMP_ALL=FALSE DECOMP_DIR=FALSE DECOMP_OPEN=FALSE COMPESS=SAMEPLACE "
         "COMP_FORMAT=ZIP COMP_LEVEL=XXXXXX COMP_ENCRYPT=FALSE COMP_ENC_METHOD=AES128 "
         "COMP_OPEN=FALSE"},
    };
    g_ini.iniPath[0] = '\0'; // Store writes no settings file
    for (auto& c : cases) {
        SetOptions(c.options);
        HWND wnd = OpenMainWindow();
        EXPECT_EQ(c.methodList, MethodList()) << c.options;
        EXPECT_EQ(ControlHandle(IDC_DECOMP_DESKTOP), GetFocus()) << "whatever is checked";
        SetOptions("DECOMPESS=DECIDE COMPESS=SAMEPLACE COMP_FORMAT=ZIP COMP_ENC_METHOD=AES128");
        memset(g_ini.COMP_LEVEL, 'X', sizeof g_ini.COMP_LEVEL - 1);
        StoreControlsToSettings();
        EXPECT_EQ(c.stored ? c.stored : c.options, Options());
        CloseMainWindow(wnd);
    }
    // Two radios on: the first in id order is stored.
    SetOptions(cases[3].options);
    HWND wnd = OpenMainWindow();
    for (int id : {IDC_DECOMP_SAMEPLACE, IDC_DECOMP_DECIDE, IDC_COMP_DECIDE}) {
        SetControlOn(id, true);
    }
    StoreControlsToSettings();
    EXPECT_EQ("DECOMPESS=SAMEPLACE DECOMP_ALL=FALSE DECOMP_DIR=FALSE DECOMP_OPEN=FALSE "
              "COMPESS=DECIDE COMP_FORMAT=zip COMP_LEVEL=LEVEL6 COMP_ENCRYPT=FALSE "
              "COMP_ENC_METHOD=AES192 COMP_OPEN=FALSE",
              Options());
    CloseMainWindow(wnd);
}

// The format list shows the method list for ZIP only, on a selection change
// alone; the encryption box enables it on any notification, shown or not.
TEST(SettingsForm, FormatAndEncryptionSteerTheMethodList) {
    struct {
        int id, code, state; // the state first (a selection or a check), then the notification
        const char* after;
    } steps[] = {
        {IDC_COMP_FORMAT, CBN_SELCHANGE, 0, "shown disabled"},
        {IDC_COMP_ENCRYPT, BN_CLICKED, 1, "shown enabled"},
        {IDC_COMP_FORMAT, CBN_SELCHANGE, 1, "hidden enabled"},
        {IDC_COMP_ENCRYPT, BN_CLICKED, 0, "hidden disabled"},
        {IDC_COMP_FORMAT, CBN_SELENDOK, 0, "hidden disabled"},
        {IDC_COMP_FORMAT, CBN_DROPDOWN, 0, "hidden disabled"},
        {IDC_COMP_FORMAT, CBN_SELCHANGE, 0, "shown disabled"},
        {IDC_COMP_FORMAT, CBN_SELCHANGE, -1, "shown disabled"},
        {IDC_COMP_ENCRYPT, BN_SETFOCUS, 1, "shown enabled"},
    };
    SetOptions("COMP_ENCRYPT=FALSE COMP_ENC_METHOD=AES128");
    HWND wnd = OpenMainWindow();
    EXPECT_EQ("hidden disabled", MethodList());
    for (auto& s : steps) {
        HWND control = ControlHandle(s.id);
        SendMessageA(control, s.id == IDC_COMP_FORMAT ? CB_SETCURSEL : BM_SETCHECK, s.state, 0);
        SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(s.id, s.code), (LPARAM)control);
        EXPECT_EQ(s.after, MethodList()) << s.id << " " << s.code;
    }
    SendMessageA(ControlHandle(IDC_COMP_ENCRYPT), BM_CLICK, 0, 0); // a real click
    EXPECT_EQ("shown disabled", MethodList());
    CloseMainWindow(wnd);
}

} // namespace
