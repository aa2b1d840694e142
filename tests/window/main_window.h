// The program's main window, created in this process as the start-up creates
// it, and the ten options of the settings record written as one line.
#pragma once
#include "app/mainwnd.h"
#include "settings/ini.h"
#include <windows.h>
#include <sstream>
#include <string>

namespace windowtest {

// The ten options in key order, '|' between them, flags as 1 or 0.
const char kDefaults[] = "DESKTOP|1|1|1|DESKTOP|7Z|LEVEL3|1|ZipCrypto|1";

// The record's fields in key order: a text with its size, or a flag.
struct Field {
    char* text;
    size_t size;
    bool* flag;
};
// clang-format off
#define TEXT_FIELD(name) {g_ini.name, sizeof g_ini.name, nullptr}
#define FLAG_FIELD(name) {nullptr, 0, &g_ini.name}
const Field kFields[] = {TEXT_FIELD(DECOMPESS), FLAG_FIELD(DECOMP_ALL), FLAG_FIELD(DECOMP_DIR), FLAG_FIELD(DECOMP_OPEN),
                         TEXT_FIELD(COMPESS), TEXT_FIELD(COMP_FORMAT), TEXT_FIELD(COMP_LEVEL), FLAG_FIELD(COMP_ENCRYPT),
                         TEXT_FIELD(COMP_ENC_METHOD), FLAG_FIELD(COMP_OPEN)};
// clang-format on

// Writes options (as kDefaults) into the settings record, texts whole even
// outside their value sets.
inline void SetOptions(const std::string& options) {
    std::istringstream in(options);
    for (const Field& f : kFields) {
        std::string value;
        std::getline(in, value, '|');
        if (f.flag) {
            *f.flag = value == "1";
        } else {
            memset(f.text, 0, f.size);
            lstrcpynA(f.text, value.c_str(), (int)f.size);
        }
    }
}

// The settings record's ten options, written as SetOptions reads them.
inline std::string Options() {
    std::string out;
    for (const Field& f : kFields) {
        out += (out.empty() ? "" : "|") + std::string(f.flag ? (*f.flag ? "1" : "0") : f.text);
    }
    return out;
}

// Delivers every posted message waiting in this thread's queue but WM_QUIT.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// Registers the main class once and creates the main window (WM_CREATE
// sets the form up). NULL on failure.
inline HWND CreateMainWindow() {
    // clang-format off
    static WNDCLASSA wc = {CS_HREDRAW | CS_VREDRAW, MainWndProc, 0, 0, GetModuleHandleA(NULL), NULL,
                           LoadCursorA(NULL, (LPCSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1), NULL, MAIN_CLASS_NAME};
    // clang-format on
    static ATOM registered = RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(WS_EX_ACCEPTFILES, MAIN_CLASS_NAME, MAIN_WINDOW_TITLE,
                               WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                               CW_USEDEFAULT, 440, 260, NULL, NULL, wc.hInstance, NULL);
    PumpMessages();
    return registered ? wnd : NULL;
}

// Destroys the window if it still exists and drains the queue, so that the
// quit message its destruction posts cannot end a later loop.
inline void CloseMainWindow(HWND wnd) {
    if (IsWindow(wnd)) {
        DestroyWindow(wnd);
    }
    PumpMessages();
}

// Selects a list item as a user does: the selection, then the notification
// the main window gets.
inline void UserSelect(int id, int index) {
    SendMessageA(ControlHandle(id), CB_SETCURSEL, (WPARAM)index, 0);
    SendMessageA(GetParent(ControlHandle(id)), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 (LPARAM)ControlHandle(id));
}

// Control states as one text: radios and check boxes 1/0 in id order, the
// three list selections, then whether 1018 is shown and enabled.
inline std::string DescribeControls() {
    std::string s;
    for (int id : {1002, 1003, 1004, 1006, 1007, 1008, 1010, 1011, 1012, 1017, 1019}) {
        s += SendMessageA(ControlHandle(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
    }
    for (int id : {1015, 1016, 1018}) {
        s += " " + std::to_string(SendMessageA(ControlHandle(id), CB_GETCURSEL, 0, 0));
    }
    s += IsWindowVisible(ControlHandle(1018)) ? " shown" : " hidden";
    return s + (IsWindowEnabled(ControlHandle(1018)) ? " enabled" : " disabled");
}

} // namespace windowtest
