// Start-up: single instance, library checks, the command-line or window road.
#pragma once
#include <windows.h>

// The whole life of the process after static initialisation; returns the
// exit code (0 on every road).
int RunTessaro(HINSTANCE instance, int showCommand);

// Pumps messages for the main window until the quit message, giving it the
// dialog keyboard (Tab, arrows) plus Enter for OK and Escape for Cancel.
// Returns the quit message's code.
int RunMessageLoop(HWND mainWnd);
