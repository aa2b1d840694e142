// The program's main window, created in this process as the start-up creates it.
#pragma once
#include "app/controls.h"
#include "app/form.h"
#include "app/mainwnd.h"
#include "res/resource.h"
#include "tests/support/options.h"
#include <windows.h>
#include <string>

namespace windowtest {

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

// The main window as the program makes it (WM_CREATE sets the form up).
inline HWND OpenMainWindow() {
    static bool registered = RegisterMainClass(GetModuleHandleA(NULL));
    HWND wnd = registered ? CreateMainWindow(GetModuleHandleA(NULL)) : NULL;
    PumpMessages();
    return wnd;
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

// Whether the encryption-method list is shown and enabled.
inline std::string MethodList() {
    return std::string(IsWindowVisible(ControlHandle(IDC_COMP_ENC_METHOD)) ? "shown" : "hidden") +
           (IsWindowEnabled(ControlHandle(IDC_COMP_ENC_METHOD)) ? " enabled" : " disabled");
}

} // namespace windowtest
