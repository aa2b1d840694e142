#include "app/mainwnd.h"

// Placeholder until the form lands.
LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
void CreateControls(HWND) {}
void CenterWindow(HWND) {}
void ApplySettingsToControls() {}
void StoreControlsToSettings() {}
HWND ControlHandle(int) { return NULL; }
