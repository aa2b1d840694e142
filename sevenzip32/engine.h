// Finds and runs the 7-Zip console engine: the host program under Wine
// (ntdll's spawn export, streams to files in a private folder), 7z.exe with
// CreateProcess on Windows.
#pragma once
#include <windows.h>

#include "sevenzip32/args.h"
#include "sevenzip32/console.h"

#define SZ_ENGINE_PATH_BYTES 1024
// Environment variable naming the engine instead of the usual places.
#define SZ_ENGINE_VARIABLE "SEVENZIP32_ENGINE"

struct SzEngineInfo {
    bool wine;                       // a host program started through Wine
    char path[SZ_ENGINE_PATH_BYTES]; // host path (UTF-8) or Windows path (code page 932)
};

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

// Looks for the engine; false when none is installed.
bool SzFindEngine(SzEngineInfo* engine);

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

// The engine's first banner line ("7-Zip (z) 26.02 …") in UTF-8, or false.
bool SzEngineBanner(const SzEngineInfo* engine, LPSTR banner, int bannerBytes);
