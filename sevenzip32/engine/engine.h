// Finds and runs the 7-Zip console engine: one job is one engine run with its
// streams in a private folder, names in a list file, and no way to outlive
// its caller. Each road (Wine, Windows) runs it its own way (road.h).
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
    char path[SZ_ENGINE_PATH_BYTES]; // host path or Windows path, in UTF-8
};

// A folder only the user may enter, for the streams, list and password files
// of one call's runs (each run's files carry its number). It is made with
// the call's first run, so that a call's later runs and the host walk pay no
// folder of their own, and removed at the call's end; a caller that ends
// first leaves it to the watchers of its runs.
struct SzPrivate {
    char host[MAX_PATH * 3]; // as the engine names it (UTF-8)
    WCHAR dir[MAX_PATH];     // as Windows names it
    bool made;               // created and not yet removed
    int runs;                // runs numbered in it so far
};

struct SzJob {
    const SzEngineInfo* engine;
    SzPrivate* folder;            // the private folder of the job's files
    SzPrivate own;                // the job's own, when its caller gave none
    int number;                   // names the job's files in the folder
    char hostStage[MAX_PATH * 3]; // a staging folder to remove if the caller ends first
    HANDLE waitHandle;            // ends when the engine has ended
    HANDLE output;                // the engine's standard output, read as it grows
    void* road;                   // what the road keeps of the run, its own business
    volatile LONG exitCode;       // the engine's exit code once ended
    bool cancelled;
    int stopAttempts;
    DWORD lastStop;    // tick of the last attempt to stop the engine
    SzConsole console; // standard output so far
    char verb[64];     // what the run does, for the trace
};

// Makes the private folder unless it is there already; false on failure.
bool SzOpenPrivate(SzPrivate* folder, const SzEngineInfo* engine);

// The next file name of the folder for a program of the library's own (a
// host path and the Windows path of the same file, MAX_PATH characters).
void SzPrivateFile(SzPrivate* folder, LPCSTR leaf, LPSTR host, int hostBytes, LPWSTR path);

// Removes the private folder (its runs removed their files).
void SzClosePrivate(SzPrivate* folder);

// Starts the engine with the arguments; its files go to folder (made when
// needed; NULL: a folder of the job's own); names (or NULL) reach it through
// a list file; stage (a host path, or NULL) is removed should the caller end
// during the run. The password (or NULL) goes to its standard input. False
// when it could not be started.
bool SzStartJob(SzJob* job, const SzEngineInfo* engine, SzPrivate* folder, const SzArgs* args,
                const SzArgs* names, LPCSTR stage, LPCWSTR password);

// Reads what the engine has written since the last call into job->console.
void SzPollJob(SzJob* job);

// Asks the engine to stop; call again until it has ended (each call after the
// first second's attempts is a harder one).
void SzCancelJob(SzJob* job);

// Waits for the end, fills errors with the engine's error stream, removes the
// job's files (and its own folder) and returns the exit code (-1 when it
// never ran).
int SzFinishJob(SzJob* job, SzConsole* errors);

// Runs the engine to its end with no window, its files in a folder of its
// own: output and errors are filled.
int SzRunEngine(const SzEngineInfo* engine, const SzArgs* args, LPCWSTR password, SzConsole* output,
                SzConsole* errors);

// Path of one of the job's files in its private folder (MAX_PATH characters).
void SzJobFile(const SzJob* job, LPCWSTR leaf, LPWSTR path);

// The password as the engine's one standard-input line (UTF-8 and a line
// end) in line; its length, or 0. The caller wipes line.
int SzPasswordLine(LPCWSTR password, LPSTR line, int lineBytes);
