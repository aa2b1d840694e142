// Which 7-Zip console engine a call runs, and on which road: the host
// program through Wine, or the Win32 7z.exe as on Windows.
#pragma once
#include <windows.h>

#include "sevenzip32/engine/engine.h"

// Looks for the engine; false when none is reachable. Under Wine the host
// engine comes first, then the Windows places; on Windows 7z.exe beside this
// library, then 7-Zip's folder in the registry, then PATH (never the current
// folder).
bool SzFindEngine(SzEngineInfo* engine);

// The engine's first banner line ("7-Zip (z) 26.02 …", "7-Zip 25.01 …") in UTF-8, or false.
bool SzEngineBanner(const SzEngineInfo* engine, LPSTR banner, int bannerBytes);
