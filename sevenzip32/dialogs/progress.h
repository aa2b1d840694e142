// The progress window of a run: bar, current file, sizes, times and Cancel.
// It appears only once a run has lasted about half a second.
#pragma once
#include <windows.h>

#include "sevenzip32/engine/console.h"

// How long a run goes before its progress window appears.
#define SZ_PROGRESS_DELAY_MS 500

// Opens the progress window of a run begun at tick started, for archive
// (code page 932, shown in the title), owned by owner; it appears at the
// first feed once the run has lasted SZ_PROGRESS_DELAY_MS. *cancelled turns
// true on Cancel.
HWND SzOpenProgress(HWND owner, LPCSTR archive, DWORD started, volatile bool* cancelled);

// Sets the bytes the whole run handles, when known beforehand.
void SzSetProgressTotal(HWND progress, ULONGLONG totalBytes);

// Shows what the engine's output so far says (percentage, current file and,
// for "a", the total size), the times, and the window once it is due.
void SzFeedProgress(HWND progress, SzConsole* output);
