// Recognises ZIP and 7z archives by their signatures and headers, without
// decrypting or extracting anything.
#pragma once
#include <windows.h>

#define SZ_TYPE_NONE (-1)
#define SZ_TYPE_OTHER 0
#define SZ_TYPE_ZIP 1
#define SZ_TYPE_7Z 2

// SZ_TYPE_ZIP or SZ_TYPE_7Z for a sound archive of that format, SZ_TYPE_NONE
// for a folder, a missing file or a damaged ZIP/7z, and SZ_TYPE_OTHER for any
// other file (which only the engine can judge).
int SzSniffArchive(LPCSTR path);

