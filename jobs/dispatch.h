// The two front ends of an archive job.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Runs one job on the files dropped on the main window, with the options as
// the window's controls show them. Takes over the drop handle and releases it
// on every road.
void RunDropJob(HWND mainWnd, HDROP drop);

// Runs one job on the process's command-line arguments with the stored
// settings and no owner window.
void RunCommandLineJob();
