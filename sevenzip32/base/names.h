// The one rule every name the library writes to disk passes: a single part
// of a path that Windows holds exactly as it is spelled, so that no entry can
// climb out of its folder, reach a device, or fall together with another.
#pragma once
#include <windows.h>

// Characters no part may hold besides the controls (0x01-0x1F).
#define SZ_FORBIDDEN_CHARS "\\/:*?\"<>|"

// Device names Windows opens in any folder and with any extension, upper case,
// separated by commas (the host walk takes the same list).
#define SZ_DEVICE_NAMES                                                                            \
    "CON,PRN,AUX,NUL,CONIN$,CONOUT$,COM1,COM2,COM3,COM4,COM5,COM6,COM7,COM8,COM9,LPT1,LPT2,LPT3,"  \
    "LPT4,LPT5,LPT6,LPT7,LPT8,LPT9"

// True when leaf (one part, no separator) may be written as it stands: not
// empty, not "." or "..", no forbidden or control character, no trailing dot
// or blank, and not a device name.
bool SzLeafIsSafe(LPCWSTR leaf);

// True when a stored name (length bytes) leads out of the folder it is
// extracted into: rooted, on a drive, or with a ".." part (either separator
// counts, as on Windows).
bool SzNameClimbs(LPCSTR name, size_t length);
