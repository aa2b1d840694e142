// The main window's 22 child controls: built from one table, kept for the
// whole process, and read or set by id.
#pragma once
#include <windows.h>

// True when the check box or radio button id reports BST_CHECKED.
bool IsControlOn(int id);
// Checks or unchecks the check box or radio button id.
void SetControlOn(int id, bool on);
// Current selection of drop-down list id, or CB_ERR when nothing is selected.
int ListSelection(int id);
// Selects entry index of drop-down list id.
void SelectListItem(int id, int index);
// Drops the handles once the controls are gone, so ControlHandle answers NULL.
void ForgetControls();
