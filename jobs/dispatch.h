// The two front ends of an archive job.
#pragma once
#include <windows.h>
#include <shellapi.h>

struct InputList;
struct JobOptions;

// Runs one job on the files dropped on the main window, with the options the
// window hands over (its controls, read as the job goes). Takes over the drop
// handle and releases it on every road.
void RunDropJob(HWND mainWnd, HDROP drop, const JobOptions* options);

// Runs one job on the process's command-line arguments with the stored
// settings and no owner window.
void RunCommandLineJob();

// Runs one job on argv[1..argc-1] with the stored settings and no owner window.
void RunArgumentJob(int argc, char** argv);

// True when every input is a ZIP or 7z archive by the library's tests; asks
// about every input, also after one has failed.
bool ClassifyInputs(const InputList* inputs);
