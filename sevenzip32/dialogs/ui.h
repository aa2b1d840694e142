// The library's own windows: password entry and messages; the dialogs' layouts
// are in dialogs.rc.
#pragma once
#include <windows.h>

// This library's module, whose resources hold the dialogs.
HINSTANCE SzLibraryModule();

enum SzAsk { SZ_ASK_OK, SZ_ASK_CANCELLED, SZ_ASK_UNAVAILABLE };

// True when windows can be shown (a display is there).
bool SzHaveDisplay();

// Asks for a password in a dialog owned by owner (or on the terminal when
// there is no display); confirm asks twice; asciiOnly refuses other characters
// (the engine takes nothing else for ZIP). The result is UTF-16.
SzAsk SzAskPassword(HWND owner, bool confirm, bool asciiOnly, LPWSTR password, int passwordChars);

// Shows a message owned by owner: text (code page 932) then detail (UTF-8).
void SzShowMessage(HWND owner, LPCSTR text, LPCSTR detailUtf8, UINT flags);
