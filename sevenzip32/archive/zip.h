// Reading archives' own bytes: little-endian fields, reads at an offset, and
// the ZIP end records that say where the central directory lies. One reader
// for the type checks and for the legacy names.
#pragma once
#include <windows.h>

// Little-endian fields.
DWORD SzLe16(const BYTE* p);
DWORD SzLe32(const BYTE* p);
ULONGLONG SzLe64(const BYTE* p);

// Reads count bytes at offset; false unless all of them were read.
bool SzReadAt(HANDLE file, ULONGLONG offset, BYTE* buffer, DWORD count);

// What a ZIP's end records say of its central directory.
struct SzZipEnd {
    ULONGLONG record;  // where the directory ends: the (ZIP64) end record
    ULONGLONG entries; // how many entries it holds
    ULONGLONG size;    // its size in bytes
    ULONGLONG offset;  // where the records say it starts (data prepended shifts it)
    bool zip64;        // the values came from a ZIP64 end record
    bool sized;        // the values are real (not the 32-bit record's ZIP64 marks)
};

// Finds the last end record in the file's last 64 KiB (and the 22 bytes of
// the record) and, when a ZIP64 locator stands before it, the ZIP64 end
// record it names. False when the file has no end record.
bool SzFindZipEnd(HANDLE file, ULONGLONG fileSize, SzZipEnd* end);

// The central directory, read whole (at most 64 MiB) into a heap block for
// HeapFree, its size and the number of entries the end records give; NULL
// when the end records do not give it.
BYTE* SzReadZipDirectory(HANDLE file, DWORD* size, DWORD* entries);
