// Windows names (code page 932) to the engine's names (UTF-8 host paths).
#pragma once
#include <windows.h>

// True for "X:\…", "X:/…", "\\server\…" and "\…" (rooted on the current drive).
bool SzIsAbsoluteName(LPCSTR name);

// A relative name in UTF-8 with forward slashes; ".\" prefixes are kept as "./".
bool SzRelativeToHost(LPCSTR name, LPSTR hostName, int hostBytes);

// Under Wine: the host path of a full Windows path (UTF-8). Elsewhere false.
bool SzWineHostPath(LPCWSTR fullPath, LPSTR hostName, int hostBytes);

// Under Wine: the Windows path of a host path, or false.
bool SzWineWindowsPath(LPCSTR hostPath, LPWSTR windowsPath, int windowsChars);

// The engine's spelling of a name; absolute asks for a full path even for a
// relative name. Host paths when the engine is a host program, else full
// Windows paths in UTF-8.
bool SzMapName(LPCSTR name, bool absolute, LPSTR hostName, int hostBytes);

// True when running under Wine (its path exports are present).
bool SzIsWine();
