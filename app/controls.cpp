#include "app/controls.h"
#include "res/resource.h"

namespace {

// One row of the form: what CreateWindowExA receives for a control.
struct ControlRow {
    int id;
    const char* className;
    const char* text;
    DWORD style; // added to WS_CHILD | WS_VISIBLE
    int x, y, width, height;
};

const DWORD kGroupBox = BS_GROUPBOX | WS_GROUP;
const DWORD kRadio = BS_AUTORADIOBUTTON | WS_TABSTOP;
const DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
const DWORD kDropList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

// Face and height of the one font every control uses (Shift-JIS).
const char kFontFace[] = "MS UI Gothic";
const int kFontHeight = 12;

HWND g_controls[CONTROL_COUNT];
HFONT g_font;

// The form in creation order, which is also the id and Tab order.
const ControlRow kControls[CONTROL_COUNT] = {
    {IDC_DECOMP_GROUP, "BUTTON", "解凍先", kGroupBox, 6, 4, 200, 92},
    {IDC_DECOMP_DESKTOP, "BUTTON", "デスクトップ", kRadio, 14, 22, 75, 16},
    {IDC_DECOMP_SAMEPLACE, "BUTTON", "ファイルと同じ場所", kRadio, 14, 46, 110, 16},
    {IDC_DECOMP_DECIDE, "BUTTON", "解凍の度に指定", kRadio, 14, 70, 100, 16},
    {IDC_DECOMP_OPTIONS, "BUTTON", "解凍オプション", kGroupBox, 6, 104, 200, 92},
    {IDC_DECOMP_ALL, "BUTTON", "全て圧縮形式なら解凍する", kCheck, 14, 122, 150, 16},
    {IDC_DECOMP_DIR, "BUTTON", "フォルダを作ってその中に解凍", kCheck, 14, 146, 160, 16},
    {IDC_DECOMP_OPEN, "BUTTON", "解凍後フォルダを開く", kCheck, 14, 170, 120, 16},
    {IDC_COMP_GROUP, "BUTTON", "圧縮先", kGroupBox, 216, 4, 212, 92},
    {IDC_COMP_DESKTOP, "BUTTON", "デスクトップ", kRadio, 224, 22, 75, 16},
    {IDC_COMP_SAMEPLACE, "BUTTON", "ファイルと同じ場所", kRadio, 224, 46, 110, 16},
    {IDC_COMP_DECIDE, "BUTTON", "圧縮の度に指定", kRadio, 224, 70, 100, 16},
    {IDC_COMP_OPTIONS, "BUTTON", "圧縮オプション", kGroupBox, 216, 104, 212, 92},
    {IDC_COMP_FORMAT_LABEL, "STATIC", "圧縮形式", SS_LEFT, 224, 124, 50, 12},
    {IDC_COMP_FORMAT, "COMBOBOX", "", kDropList, 277, 120, 44, 100},
    {IDC_COMP_LEVEL, "COMBOBOX", "", kDropList, 325, 120, 75, 100},
    {IDC_COMP_ENCRYPT, "BUTTON", "圧縮時に暗号化する", kCheck, 224, 146, 120, 16},
    {IDC_COMP_ENC_METHOD, "COMBOBOX", "", kDropList, 346, 142, 75, 100},
    {IDC_COMP_OPEN, "BUTTON", "圧縮後フォルダを開く", kCheck, 224, 170, 120, 16},
    {IDC_OK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 90, 204, 85, 24},
    {IDC_CANCEL, "BUTTON", "ｷｬﾝｾﾙ", BS_PUSHBUTTON | WS_TABSTOP, 182, 204, 85, 24},
    {IDC_DLLINFO, "BUTTON", "DLLの情報", BS_PUSHBUTTON | WS_TABSTOP, 274, 204, 85, 24},
};

HFONT ControlFont() {
    if (g_font == NULL) {
        g_font = CreateFontA(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, kFontFace);
    }
    return g_font;
}

} // namespace

void CreateControls(HWND mainWnd) {
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(mainWnd, GWLP_HINSTANCE);
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const ControlRow& c = kControls[i];
        g_controls[i] =
            CreateWindowExA(0, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y,
                            c.width, c.height, mainWnd, (HMENU)(INT_PTR)c.id, instance, NULL);
    }
    HFONT font = ControlFont();
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        SendMessageA(g_controls[i], WM_SETFONT, (WPARAM)font, TRUE);
    }
}

HWND ControlHandle(int id) {
    if (id < IDC_FIRST || id >= IDC_FIRST + CONTROL_COUNT) {
        return NULL;
    }
    return g_controls[id - IDC_FIRST];
}

void ForgetControls() {
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        g_controls[i] = NULL;
    }
}

bool IsControlOn(int id) {
    return SendMessageA(ControlHandle(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetControlOn(int id, bool on) {
    SendMessageA(ControlHandle(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void AddListItem(int id, const char* text) {
    SendMessageA(ControlHandle(id), CB_ADDSTRING, 0, (LPARAM)text);
}

int ListSelection(int id) {
    return (int)SendMessageA(ControlHandle(id), CB_GETCURSEL, 0, 0);
}

void SelectListItem(int id, int index) {
    SendMessageA(ControlHandle(id), CB_SETCURSEL, (WPARAM)index, 0);
}
