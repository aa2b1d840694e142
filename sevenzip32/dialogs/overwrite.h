// The per-file overwrite question of an extraction.
#pragma once
#include <windows.h>

enum SzOverwriteAnswer {
    SZ_ANSWER_YES,
    SZ_ANSWER_YES_ALL,
    SZ_ANSWER_NO,
    SZ_ANSWER_NO_ALL,
    SZ_ANSWER_CANCEL
};

// Asks whether existing may be replaced by incoming (the extracted file),
// showing name, size and date of both, in a dialog owned by owner. No display,
// no answer or the window closed mean SZ_ANSWER_NO.
SzOverwriteAnswer SzAskOverwrite(HWND owner, LPCWSTR existing, LPCWSTR incoming);
