// The library's own windows: password entry, progress, questions and messages.
#pragma once
#include <windows.h>

enum SzAsk { SZ_ASK_OK, SZ_ASK_CANCELLED, SZ_ASK_UNAVAILABLE };

// True when windows can be shown (a display is there).
bool SzHaveDisplay();

// Asks for a password in a dialog owned by owner (or on the terminal when
// there is no display); confirm asks twice; asciiOnly refuses other characters
// (the engine takes nothing else for ZIP). The result is UTF-16.
SzAsk SzAskPassword(HWND owner, bool confirm, bool asciiOnly, LPWSTR password, int passwordChars);

// Shows a message owned by owner: text (code page 932) then detail (UTF-8).
void SzShowMessage(HWND owner, LPCSTR text, LPCSTR detailUtf8, UINT flags);

// Asks whether count existing files (listed in namesUtf8) may be overwritten:
// IDYES, IDNO or IDCANCEL. Without a display the answer is IDNO.
int SzAskOverwrite(HWND owner, int count, LPCSTR namesUtf8);

// Opens the progress window owned by owner; *cancelled turns true on Cancel.
HWND SzOpenProgress(HWND owner, volatile bool* cancelled);

// Shows a percentage and the current file (UTF-8) in the progress window.
void SzShowProgress(HWND progress, int percent, LPCSTR fileUtf8);
