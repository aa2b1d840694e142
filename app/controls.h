// The main window's 22 child controls: built from one table, kept for the
// whole process, and read or set by id.
#pragma once
#include <windows.h>

// Creates the 22 controls on mainWnd and sets their font.
void CreateControls(HWND mainWnd);
// Handle of control id (1001..1022), or NULL when it does not exist.
HWND ControlHandle(int id);
// Drops the handles once the controls are gone, so ControlHandle answers NULL.
void ForgetControls();

// True when the check box or radio button id reports BST_CHECKED.
bool IsControlOn(int id);
// Checks or unchecks the check box or radio button id.
void SetControlOn(int id, bool on);
// Appends text to drop-down list id.
void AddListItem(int id, const char* text);
// Current selection of drop-down list id, or CB_ERR when nothing is selected.
int ListSelection(int id);
// Selects entry index of drop-down list id.
void SelectListItem(int id, int index);
