// Windows names (code page 932) to the engine's names (UTF-8 host paths).
#pragma once
#include <windows.h>

#include "sevenzip32/base/wine.h"
#include "sevenzip32/engine/engine.h"

// The longest name the library takes from its caller, in bytes.
#define SZ_PATH_BYTES 1024

// True for "X:\…", "X:/…", "\\server\…" and "\…" (rooted on the current drive).
bool SzIsAbsoluteName(LPCSTR name);

// A relative name in UTF-8 with forward slashes; ".\" prefixes are kept as "./".
bool SzRelativeToHost(LPCSTR name, LPSTR hostName, int hostBytes);

// The engine's spelling of a name; absolute asks for a full path even for a
// relative name. Host paths when the engine is a host program, else full
// Windows paths in UTF-8.
bool SzMapName(const SzEngineInfo* engine, LPCSTR name, bool absolute, LPSTR hostName,
               int hostBytes);
