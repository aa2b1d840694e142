// The main window: a fixed form of 22 controls and a drop target.
#pragma once
#include "version.h"
#include <windows.h>

#define MAIN_CLASS_NAME "Tessaro_by_Morvane"
#define MAIN_WINDOW_TITLE "Tessaro " TESSARO_VERSION_TEXT " （7-zip32.dll 利用プログラム）"

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers the main window's class; false when that fails.
bool RegisterMainClass(HINSTANCE instance);
// Creates the main window of the registered class (the form is set up while
// it is created); NULL on failure.
HWND CreateMainWindow(HINSTANCE instance);
// Places the window a third down the desktop, centred across, and shows it.
void CenterWindow(HWND mainWnd);
// CenterWindow against the given desktop rectangle instead of the real one.
void CenterWindowOn(HWND mainWnd, const RECT* desktop);
