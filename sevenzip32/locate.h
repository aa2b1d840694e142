// Which 7-Zip console engine a call runs, and on which road: the host
// program through Wine, or the Win32 7z.exe as on Windows.
#pragma once
#include <windows.h>

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

// Looks for the engine; false when none is reachable. Under Wine the host
// engine comes first, then the Windows places; on Windows 7z.exe beside this
// library, then 7-Zip's folder in the registry, then PATH (never the current
// folder).
bool SzFindEngine(SzEngineInfo* engine);

// True when the engine last found is a host program, so names go to it as
// host paths; false when it takes Windows paths.
bool SzEngineTakesHostPaths();

// The engine's first banner line ("7-Zip (z) 26.02 …", "7-Zip 25.01 …") in UTF-8, or false.
bool SzEngineBanner(const SzEngineInfo* engine, LPSTR banner, int bannerBytes);
