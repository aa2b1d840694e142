// Runs the 7-Zip console engine: the host program under Wine
// (ntdll's spawn export, streams to files in a private folder), 7z.exe with
// CreateProcess on Windows.
#pragma once
#include <windows.h>

#include "sevenzip32/args.h"
#include "sevenzip32/console.h"
#include "sevenzip32/locate.h"

struct SzJob {
    const SzEngineInfo* engine;
    char hostDir[MAX_PATH * 3]; // the private folder as the host names it
    WCHAR dir[MAX_PATH];        // the private folder as Windows names it
    HANDLE waitHandle;          // ends when the engine has ended
    HANDLE process;             // the engine's process (Windows only)
    HANDLE output;              // the engine's standard output, read as it grows
    char** vector;              // argument vector for the spawn (Wine only)
    volatile LONG exitCode;     // the engine's exit code once ended
    bool cancelled;
    SzConsole console; // standard output so far
};

// Starts the engine with the arguments; the password (or NULL) goes to its
// standard input. False when it could not be started.
bool SzStartJob(SzJob* job, const SzEngineInfo* engine, const SzArgs* args, LPCWSTR password);

// Reads what the engine has written since the last call into job->console.
void SzPollJob(SzJob* job);

// Stops the engine; the job still has to be finished.
void SzCancelJob(SzJob* job);

// Waits for the end, fills errors with the engine's error stream, removes the
// private folder and returns the exit code (-1 when it never ran).
int SzFinishJob(SzJob* job, SzConsole* errors);

// Runs the engine to its end with no window: output and errors are filled.
int SzRunEngine(const SzEngineInfo* engine, const SzArgs* args, LPCWSTR password, SzConsole* output,
                SzConsole* errors);

// Under Wine: asks on the host's terminal (/dev/tty) with echo off, the
// prompt in UTF-8. False when there is no terminal or nothing was typed.
bool SzAskOnHostTerminal(LPCSTR promptUtf8, LPWSTR answer, int answerChars);
