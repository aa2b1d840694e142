#include "sevenzip32/archive/zip.h"

#include <string.h>

DWORD SzLe16(const BYTE* p) {
    return p[0] | (p[1] << 8);
}

DWORD SzLe32(const BYTE* p) {
    return SzLe16(p) | (SzLe16(p + 2) << 16);
}

ULONGLONG SzLe64(const BYTE* p) {
    return SzLe32(p) | (static_cast<ULONGLONG>(SzLe32(p + 4)) << 32);
}

bool SzReadAt(HANDLE file, ULONGLONG offset, BYTE* buffer, DWORD count) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return SetFilePointerEx(file, position, NULL, FILE_BEGIN) &&
           ReadFile(file, buffer, count, &got, NULL) && got == count;
}

// The end record lies in the last 64 KiB + 22 bytes; its ZIP64 locator takes
// the 20 bytes before it.
#define SZ_ZIP_TAIL (65535u + 22u)

bool SzFindZipEnd(HANDLE file, ULONGLONG fileSize, SzZipEnd* end) {
    ZeroMemory(end, sizeof(*end));
    if (fileSize < 22) {
        return false;
    }
    DWORD tailSize = fileSize < SZ_ZIP_TAIL ? static_cast<DWORD>(fileSize) : SZ_ZIP_TAIL;
    BYTE* tail = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, tailSize));
    ULONGLONG tailStart = fileSize - tailSize;
    bool found = false;
    bool read = tail != NULL && SzReadAt(file, tailStart, tail, tailSize);
    for (DWORD i = tailSize - 22 + 1; read && !found && i-- > 0;) {
        if (memcmp(tail + i, "PK\x05\x06", 4) != 0) {
            continue;
        }
        found = true;
        end->record = tailStart + i;
        end->entries = SzLe16(tail + i + 10);
        end->size = SzLe32(tail + i + 12);
        end->offset = SzLe32(tail + i + 16);
        end->sized = end->offset != 0xFFFFFFFFu && end->size != 0xFFFFFFFFu;
        BYTE record[56];
        if (i >= 20 && memcmp(tail + i - 20, "PK\x06\x07", 4) == 0 &&
            SzReadAt(file, SzLe64(tail + i - 12), record, sizeof(record)) &&
            memcmp(record, "PK\x06\x06", 4) == 0) {
            end->zip64 = end->sized = true;
            end->record = SzLe64(tail + i - 12);
            end->entries = SzLe64(record + 32);
            end->size = SzLe64(record + 40);
            end->offset = SzLe64(record + 48);
        }
    }
    if (tail != NULL) {
        HeapFree(GetProcessHeap(), 0, tail);
    }
    return found;
}

// The directory ends where the end record begins, wherever the records say
// it starts (an archive with data before it still reads).
#define SZ_MAX_CENTRAL_DIRECTORY (64u * 1024u * 1024u)

BYTE* SzReadZipDirectory(HANDLE file, DWORD* size, DWORD* entries) {
    LARGE_INTEGER fileSize;
    SzZipEnd end;
    if (!GetFileSizeEx(file, &fileSize) ||
        !SzFindZipEnd(file, static_cast<ULONGLONG>(fileSize.QuadPart), &end) || !end.sized ||
        end.size == 0 || end.size > SZ_MAX_CENTRAL_DIRECTORY || end.size > end.record) {
        return NULL;
    }
    *size = static_cast<DWORD>(end.size);
    *entries = end.entries > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(end.entries);
    BYTE* directory = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, *size));
    if (directory != NULL && !SzReadAt(file, end.record - end.size, directory, *size)) {
        HeapFree(GetProcessHeap(), 0, directory);
        directory = NULL;
    }
    return directory;
}
