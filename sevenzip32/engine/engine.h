// Finds and runs the 7-Zip console engine: one job is one engine run with its
// streams in a private folder, names in a list file, and no way to outlive
// its caller. The two back ends (Wine, Windows) implement SzBackend.
#pragma once
#include <windows.h>

#include "sevenzip32/base/args.h"
#include "sevenzip32/engine/console.h"

#define SZ_ENGINE_PATH_BYTES 1024
// Environment variable naming the engine instead of the usual places.
#define SZ_ENGINE_VARIABLE "SEVENZIP32_ENGINE"
#define SZ_ENGINE_VARIABLE_W L"SEVENZIP32_ENGINE"
// Environment variable that picks the road under Wine ("windows" or "wine");
// only tests and benchmarks set it.
#define SZ_ROAD_VARIABLE_W L"SEVENZIP32_ROAD"

struct SzEngineInfo {
    bool wine;                       // a host program started through Wine
    char path[SZ_ENGINE_PATH_BYTES]; // host path (UTF-8) or Windows path (code page 932)
};

struct SzJob {
    const SzEngineInfo* engine;
    char hostDir[MAX_PATH * 3];   // the private folder as the engine names it (UTF-8)
    WCHAR dir[MAX_PATH];          // the private folder as Windows names it
    bool madeDir;                 // the private folder was created by this job
    char hostStage[MAX_PATH * 3]; // a staging folder to remove if the caller ends first
    HANDLE waitHandle;            // ends when the engine has ended
    HANDLE process;               // the engine's process (Windows only)
    HANDLE jobObject;             // ends the engine with the caller (Windows only)
    HANDLE output;                // the engine's standard output, read as it grows
    SzArgs argv;                  // the arguments, kept for the spawn thread (Wine only)
    char** vector;                // argument vector for the spawn (Wine only)
    volatile LONG exitCode;       // the engine's exit code once ended
    bool cancelled;
    int stopAttempts;
    DWORD lastStop;    // tick of the last attempt to stop the engine
    SzConsole console; // standard output so far
};

// What each road does its own way.
struct SzBackend {
    // Creates job->dir (and job->hostDir) for this job only; false on failure.
    bool (*makePrivate)(SzJob* job);
    // Starts the engine with the arguments (UTF-8); the password (or NULL)
    // goes to its standard input.
    bool (*start)(SzJob* job, const SzArgs* args, LPCWSTR password);
    // One attempt to stop the engine; hard once gentle attempts were ignored.
    void (*stop)(SzJob* job, bool hard);
    // The exit code once waitHandle has ended.
    int (*exitCode)(SzJob* job);
    // Releases what start acquired (the private folder is removed by the caller).
    void (*release)(SzJob* job);
};

// The host engine through Wine's spawn export (engine_wine.cpp).
extern const SzBackend kSzWineBackend;

// 7z.exe with CreateProcess and a kill-on-close job object (engine_windows.cpp).
extern const SzBackend kSzWindowsBackend;

// Starts the engine with the arguments; names (or NULL) reach it through a
// list file; stage (a host path, or NULL) is removed should the caller end
// during the run. The password (or NULL) goes to its standard input. False
// when it could not be started.
bool SzStartJob(SzJob* job, const SzEngineInfo* engine, const SzArgs* args, const SzArgs* names,
                LPCSTR stage, LPCWSTR password);

// Reads what the engine has written since the last call into job->console.
void SzPollJob(SzJob* job);

// Asks the engine to stop; call again until it has ended (each call after the
// first second's attempts is a harder one).
void SzCancelJob(SzJob* job);

// Waits for the end, fills errors with the engine's error stream, removes the
// private folder and returns the exit code (-1 when it never ran).
int SzFinishJob(SzJob* job, SzConsole* errors);

// Runs the engine to its end with no window: output and errors are filled.
int SzRunEngine(const SzEngineInfo* engine, const SzArgs* args, LPCWSTR password, SzConsole* output,
                SzConsole* errors);

// Path of a file of the job's private folder (MAX_PATH characters).
void SzJobFile(const SzJob* job, LPCWSTR leaf, LPWSTR path);

// The password as the engine's one standard-input line (UTF-8 and a line
// end) in line; its length, or 0. The caller wipes line.
int SzPasswordLine(LPCWSTR password, LPSTR line, int lineBytes);
