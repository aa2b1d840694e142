// The library's own windows: password entry, questions and messages, and the
// in-memory dialog templates they are built from.
#pragma once
#include <windows.h>

#define SZ_CLASS_BUTTON 0x0080
#define SZ_CLASS_EDIT 0x0081
#define SZ_CLASS_STATIC 0x0082
#define SZ_TEMPLATE_WORDS 2048

// One control of a dialog template, in dialog units.
struct SzControl {
    WORD id;
    WORD classAtom;
    LPCSTR text; // code page 932
    DWORD style;
    short x, y, cx, cy;
};

// Lays a hidden dialog out in buffer (SZ_TEMPLATE_WORDS) from its caption
// (code page 932), size and control table.
LPCDLGTEMPLATEW SzBuildTemplate(WORD* buffer, LPCSTR caption, short cx, short cy,
                                const SzControl* controls, int count);

enum SzAsk { SZ_ASK_OK, SZ_ASK_CANCELLED, SZ_ASK_UNAVAILABLE };

// True when windows can be shown (a display is there).
bool SzHaveDisplay();

// Asks for a password in a dialog owned by owner (or on the terminal when
// there is no display); confirm asks twice; asciiOnly refuses other characters
// (the engine takes nothing else for ZIP). The result is UTF-16.
SzAsk SzAskPassword(HWND owner, bool confirm, bool asciiOnly, LPWSTR password, int passwordChars);

// Shows a message owned by owner: text (code page 932) then detail (UTF-8).
void SzShowMessage(HWND owner, LPCSTR text, LPCSTR detailUtf8, UINT flags);
