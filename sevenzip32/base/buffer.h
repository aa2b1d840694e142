// The library's one growable block of bytes, kept terminated by a NUL past
// the bytes in use. A block that grows is copied and the old one wiped, never
// reallocated in place, so that a password it held stays nowhere.
#pragma once
#include <windows.h>

struct SzBuffer {
    char* text;  // the bytes, NUL-terminated; NULL while empty
    size_t used; // bytes in use
    size_t size; // bytes allocated
    bool failed; // memory ran out once; the contents are incomplete
};

// Makes room for extra more bytes and the NUL; false when memory ran out.
bool SzBufferReserve(SzBuffer* buffer, size_t extra);

// Appends count bytes; false when memory ran out.
bool SzBufferAppend(SzBuffer* buffer, const void* bytes, size_t count);

// Wipes and releases the block; the buffer is empty again.
void SzBufferFree(SzBuffer* buffer);
