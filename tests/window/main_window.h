// The program's main window, created in this process as the start-up creates it.
#pragma once
#include "app/mainwnd.h"
#include "tests/support/options.h"
#include <windows.h>
#include <string>

namespace windowtest {

using testsupport::kDefaults;
using testsupport::Options;
using testsupport::SetOptions;

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
    static WNDCLASSA wc = {CS_HREDRAW | CS_VREDRAW,
                           MainWndProc,
                           0,
                           0,
                           GetModuleHandleA(NULL),
                           NULL,
                           NULL,
                           (HBRUSH)(COLOR_BTNFACE + 1),
                           NULL,
                           MAIN_CLASS_NAME};
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

// Selects a list item as a user does: the selection, then the notification.
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
