// Test helpers: the program's main window, created in this process as the
// start-up creates it, and settings pointed at a private file.
#pragma once
#include <windows.h>
#include <string>

namespace windowtest {

// The ten options, as the settings record holds them.
struct Options {
    const char* decompess;
    bool decompAll, decompDir, decompOpen;
    const char* compess;
    const char* compFormat;
    const char* compLevel;
    bool compEncrypt;
    const char* compEncMethod;
    bool compOpen;
};

// Built-in defaults of the settings record.
extern const Options kDefaults;

// Writes options into the settings record (texts copied whole, even when
// they are outside the value sets).
void SetOptions(const Options& o);
// The record's ten values as one "KEY=value" line each, for comparisons.
std::string DescribeSettings();

// Registers the main class once and creates the main window (WM_CREATE runs
// the form's set-up). NULL on failure.
HWND CreateMainWindow();
// Destroys the window if it still exists and drains the queue, so that the
// quit message its destruction posts cannot end a later loop.
void CloseMainWindow(HWND wnd);
// Delivers every posted message waiting in this thread's queue.
void PumpMessages();

// Check or selection state of control id, as "1"/"0" or the list index.
int CheckState(int id);
int Selection(int id);
// Changes a control the way a user does: the state, then the notification
// the main window gets.
void UserCheck(int id, bool on);
void UserSelect(int id, int index);

} // namespace windowtest
