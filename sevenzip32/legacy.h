// ZIP entries whose names are stored in code page 932 without the UTF-8
// flag, as Japanese Windows archivers write them. The host engine extracts
// them under their raw bytes; these functions give them their real names.
#pragma once
#include <windows.h>

// One stored name as a host name (UTF-8): code page 932 where the bytes are
// valid, "%XX" for each byte that is not, and never a lone 0x5C (a trail
// byte 0x5C stays inside its character).
void SzDecodeLegacyName(const BYTE* raw, int rawBytes, LPSTR utf8, int utf8Bytes);

// After the engine extracted archive (code page 932 path) into folder (full
// Windows path), flat for "e": renames every legacy name, folders included,
// from its raw bytes to its decoded name. An existing file of the decoded
// name is replaced only when replace is set. Does nothing outside Wine.
void SzRenameLegacyNames(LPCSTR archive, LPCWSTR folder, bool flat, bool replace);

// The engine's text (UTF-8) about archive with each raw legacy name replaced
// by its decoded name, in a heap block for HeapFree; NULL when the archive
// holds no legacy names.
LPSTR SzDecodeLegacyText(LPCSTR archive, LPCSTR text);
