// The main window's 22 child controls: built from one table, kept for the
// whole process, and read or set by id.
#pragma once
#include <windows.h>

// One list entry per drop-down list, added in order so that the index of a
// text is its value.
struct ListItems {
    int id;
    const char* const* texts;
    int count;
};

// One row of the form: what CreateWindowExA receives for a control.
struct ControlSpec {
    int id;
    const char* className;
    const char* text;
    DWORD style; // added to WS_CHILD | WS_VISIBLE
    int x, y, width, height;
};

// The form in creation order, which is also the id and Tab order.
extern const ControlSpec kControls[];
// The three drop-down lists and their texts.
extern const ListItems kListItems[];
extern const int kListItemsCount;

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
