#include "tests/window/main_window.h"
#include "app/mainwnd.h"
#include "settings/ini.h"
#include <string.h>

namespace windowtest {

const Options kDefaults = {"DESKTOP", true,     true, true,        "DESKTOP",
                           "7Z",      "LEVEL3", true, "ZipCrypto", true};

static void CopyField(char* field, size_t size, const char* text) {
    memset(field, 0, size);
    strncpy(field, text, size - 1);
}

void SetOptions(const Options& o) {
    CopyField(g_ini.DECOMPESS, sizeof g_ini.DECOMPESS, o.decompess);
    g_ini.DECOMP_ALL = o.decompAll;
    g_ini.DECOMP_DIR = o.decompDir;
    g_ini.DECOMP_OPEN = o.decompOpen;
    CopyField(g_ini.COMPESS, sizeof g_ini.COMPESS, o.compess);
    CopyField(g_ini.COMP_FORMAT, sizeof g_ini.COMP_FORMAT, o.compFormat);
    CopyField(g_ini.COMP_LEVEL, sizeof g_ini.COMP_LEVEL, o.compLevel);
    g_ini.COMP_ENCRYPT = o.compEncrypt;
    CopyField(g_ini.COMP_ENC_METHOD, sizeof g_ini.COMP_ENC_METHOD, o.compEncMethod);
    g_ini.COMP_OPEN = o.compOpen;
}

std::string DescribeSettings() {
    auto flag = [](bool b) { return std::string(b ? "TRUE" : "FALSE"); };
    return std::string("DECOMPESS=") + g_ini.DECOMPESS + "\nDECOMP_ALL=" + flag(g_ini.DECOMP_ALL) +
           "\nDECOMP_DIR=" + flag(g_ini.DECOMP_DIR) + "\nDECOMP_OPEN=" + flag(g_ini.DECOMP_OPEN) +
           "\nCOMPESS=" + g_ini.COMPESS + "\nCOMP_FORMAT=" + g_ini.COMP_FORMAT +
           "\nCOMP_LEVEL=" + g_ini.COMP_LEVEL + "\nCOMP_ENCRYPT=" + flag(g_ini.COMP_ENCRYPT) +
           "\nCOMP_ENC_METHOD=" + g_ini.COMP_ENC_METHOD + "\nCOMP_OPEN=" + flag(g_ini.COMP_OPEN) +
           "\n";
}

HWND CreateMainWindow() {
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleA(NULL);
    if (!registered) {
        WNDCLASSA wc;
        memset(&wc, 0, sizeof wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = MainWndProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = MAIN_CLASS_NAME;
        registered = RegisterClassA(&wc) != 0;
    }
    HWND wnd = CreateWindowExA(WS_EX_ACCEPTFILES, MAIN_CLASS_NAME, MAIN_WINDOW_TITLE,
                               WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                               CW_USEDEFAULT, 440, 260, NULL, NULL, instance, NULL);
    PumpMessages();
    return wnd;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CloseMainWindow(HWND wnd) {
    if (IsWindow(wnd)) {
        DestroyWindow(wnd);
    }
    PumpMessages();
}

int CheckState(int id) {
    return (int)SendMessageA(ControlHandle(id), BM_GETCHECK, 0, 0);
}

int Selection(int id) {
    return (int)SendMessageA(ControlHandle(id), CB_GETCURSEL, 0, 0);
}

void UserCheck(int id, bool on) {
    HWND control = ControlHandle(id);
    SendMessageA(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)control);
}

void UserSelect(int id, int index) {
    HWND control = ControlHandle(id);
    SendMessageA(control, CB_SETCURSEL, (WPARAM)index, 0);
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)control);
}

} // namespace windowtest
