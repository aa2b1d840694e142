// The main window: a fixed form of 22 controls and a drop target.
#pragma once
#include "version.h"
#include <windows.h>

struct JobOptions;

#define MAIN_CLASS_NAME "Tessaro_by_Morvane"
#define MAIN_WINDOW_TITLE "Tessaro " TESSARO_VERSION_TEXT " （7-zip32.dll 利用プログラム）"

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Creates the 22 controls, fills the three lists and sets the font.
void CreateControls(HWND mainWnd);
// Places the window a third down the desktop, centred across, and shows it.
void CenterWindow(HWND mainWnd);
// CenterWindow against the given desktop rectangle instead of the real one.
void CenterWindowOn(HWND mainWnd, const RECT* desktop);
// Sets the control states from the settings record.
void ApplySettingsToControls();
// Sets the settings record from the controls, then writes the settings file.
void StoreControlsToSettings();
// The form as a job's option source: each control read when the job asks.
JobOptions FormOptions();
// Shows the encryption-method list for ZIP (0), hides it for 7Z (1); any
// other index changes nothing.
void ShowMethodListForFormat(int formatIndex);
// Enables the encryption-method list exactly when encryption is on.
void EnableMethodListForEncryption(bool on);

// Handle of control id (1001..1022), or NULL when it does not exist.
HWND ControlHandle(int id);
