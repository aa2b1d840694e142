#include "sevenzip32/base/buffer.h"

#include <string.h>

bool SzBufferReserve(SzBuffer* buffer, size_t extra) {
    if (buffer->used + extra + 1 <= buffer->size) {
        return true;
    }
    size_t wanted = buffer->size * 2 + extra + 256;
    char* grown = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, wanted));
    if (grown == NULL) {
        buffer->failed = true;
        return false;
    }
    if (buffer->text != NULL) {
        memcpy(grown, buffer->text, buffer->used);
        SecureZeroMemory(buffer->text, buffer->size);
        HeapFree(GetProcessHeap(), 0, buffer->text);
    }
    buffer->text = grown;
    buffer->size = wanted;
    return true;
}

bool SzBufferAppend(SzBuffer* buffer, const void* bytes, size_t count) {
    if (!SzBufferReserve(buffer, count)) {
        return false;
    }
    memcpy(buffer->text + buffer->used, bytes, count);
    buffer->used += count;
    buffer->text[buffer->used] = '\0';
    return true;
}

void SzBufferFree(SzBuffer* buffer) {
    if (buffer->text != NULL) {
        SecureZeroMemory(buffer->text, buffer->size);
        HeapFree(GetProcessHeap(), 0, buffer->text);
    }
    ZeroMemory(buffer, sizeof(*buffer));
}
