// ZIP entries whose names are stored in code page 932 without the UTF-8
// flag, as Japanese Windows archivers write them. Depending on its version
// the host engine writes them decoded (told -mcp=932) or as raw bytes, which
// the host walk escapes; these functions give them their real names.
#pragma once
#include <windows.h>

// One stored name as a host name (UTF-8): code page 932 where the bytes are
// valid, "%XX" for each byte that is not, and never a lone 0x5C (a trail
// byte 0x5C stays inside its character).
void SzDecodeLegacyName(const BYTE* raw, int rawBytes, LPSTR utf8, int utf8Bytes);

// True when archive (code page 932 path) is a ZIP holding such names.
bool SzHasLegacyNames(LPCSTR archive);

// The engine's text (UTF-8) about archive with each raw legacy name replaced
// by its decoded name, in a heap block for HeapFree; NULL when the archive
// holds no legacy names.
LPSTR SzDecodeLegacyText(LPCSTR archive, LPCSTR text);
