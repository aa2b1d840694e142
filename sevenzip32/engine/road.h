// The engine's two roads behind one interface: only the job (engine.cpp)
// and the roads themselves see it.
#pragma once
#include <windows.h>

#include "sevenzip32/base/args.h"

struct SzJob;
struct SzPrivate;

// What each road does its own way.
struct SzBackend {
    // Creates the folder (dir and host); false on failure.
    bool (*makePrivate)(SzPrivate* folder);
    // Starts the engine with the arguments (UTF-8); the password (or NULL)
    // goes to its standard input.
    bool (*start)(SzJob* job, const SzArgs* args, LPCWSTR password);
    // One attempt to stop the engine; hard once gentle attempts were ignored.
    void (*stop)(SzJob* job, bool hard);
    // The exit code once waitHandle has ended.
    int (*exitCode)(SzJob* job);
    // Releases what start acquired (the job's files are removed by the caller).
    void (*release)(SzJob* job);
};

// The host engine through Wine's spawn export (road_wine.cpp).
extern const SzBackend kSzWineBackend;

// 7z.exe with CreateProcess and a kill-on-close job object (road_windows.cpp).
extern const SzBackend kSzWindowsBackend;
