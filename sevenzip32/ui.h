// The library's own windows: password entry, progress, questions and messages.
#pragma once
#include <windows.h>

enum SzAsk { SZ_ASK_OK, SZ_ASK_CANCELLED, SZ_ASK_UNAVAILABLE };

#define SZ_CLASS_BUTTON 0x0080
#define SZ_CLASS_EDIT 0x0081
#define SZ_CLASS_STATIC 0x0082
#define SZ_TEMPLATE_WORDS 2048

// One control of a dialog laid out in memory.
struct SzControl {
    WORD id;
    WORD classAtom;
    LPCSTR text; // code page 932
    DWORD style;
    short x, y, cx, cy;
};

// Lays a dialog out in buffer (SZ_TEMPLATE_WORDS words) from its caption
// (code page 932), size and control table.
LPCDLGTEMPLATEW SzBuildDialog(WORD* buffer, LPCSTR caption, short cx, short cy,
                              const SzControl* controls, int count);

// True when windows can be shown (a display is there).
bool SzHaveDisplay();

// Asks for a password in a dialog owned by owner (or on the terminal when
// there is no display); confirm asks twice; asciiOnly refuses other characters
// (the engine takes nothing else for ZIP). The result is UTF-16.
SzAsk SzAskPassword(HWND owner, bool confirm, bool asciiOnly, LPWSTR password, int passwordChars);

// Shows a message owned by owner: text (code page 932) then detail (UTF-8).
void SzShowMessage(HWND owner, LPCSTR text, LPCSTR detailUtf8, UINT flags);

// Opens the progress window owned by owner; *cancelled turns true on Cancel.
HWND SzOpenProgress(HWND owner, volatile bool* cancelled);

// Shows a percentage and the current file (UTF-8) in the progress window.
void SzShowProgress(HWND progress, int percent, LPCSTR fileUtf8);
