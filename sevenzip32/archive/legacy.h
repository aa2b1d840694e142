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

// A part of a staged name as it is placed: for a legacy archive (legacy set)
// the decoded name of a part the host walk escaped, when the stored bytes
// are no UTF-8 and the decoding is itself a safe part; else leaf unchanged.
// out has room for MAX_PATH characters.
void SzLegacyLeaf(LPCWSTR leaf, bool legacy, LPWSTR out);

// True when archive (code page 932 path) is a ZIP holding such names.
bool SzHasLegacyNames(LPCSTR archive);

// The engine's text (UTF-8) about archive with each raw legacy name replaced
// by its decoded name, in a heap block for HeapFree; NULL when the archive
// holds no legacy names.
LPSTR SzDecodeLegacyText(LPCSTR archive, LPCSTR text);
