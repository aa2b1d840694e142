// The formats the engine opens, read from its own list ("i"), and whether a
// file could be one of them, judged in-process from its first bytes.
#pragma once
#include <windows.h>

// How far into a file the engine looks for an archive's start (8 MiB).
#define SZ_SEARCH_WINDOW (1u << 23)
#define SZ_MAX_SIGNATURES 160
#define SZ_SIGNATURE_BYTES 40
#define SZ_EXTENSION_BYTES 2048

struct SzSignature {
    BYTE bytes[SZ_SIGNATURE_BYTES];
    DWORD length;
    DWORD offset;  // where the format puts it
    bool anywhere; // also found after leading data (not only at its offset)
};

// Formats without a signature that the engine still tries on any content.
enum SzContentCheck {
    SZ_CHECK_COFF = 1,
    SZ_CHECK_IHEX = 2,
    SZ_CHECK_LZMA = 4,
    SZ_CHECK_LZMA86 = 8,
    SZ_CHECK_MBR = 16,
    SZ_CHECK_TAR = 32,
};

struct SzFormatTable {
    SzSignature signatures[SZ_MAX_SIGNATURES];
    int signatureCount;
    char extensions[SZ_EXTENSION_BYTES]; // " zip 7z tar … ", lower case
    DWORD checks;                        // SzContentCheck bits
    bool everyFile;                      // a format judged by content we cannot judge
};

// Reads the engine's format list ("Formats:" lines of "i"); false when the
// text holds none.
bool SzParseFormats(LPCSTR listing, SzFormatTable* table);

// False only when no format of the table can open a file of that name whose
// first bytes are data (size bytes; SZ_SEARCH_WINDOW and a little more suffice).
bool SzCouldOpen(const SzFormatTable* table, LPCSTR name, const BYTE* data, DWORD size);
