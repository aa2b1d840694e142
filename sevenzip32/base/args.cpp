#include "sevenzip32/base/args.h"

#include <string.h>

void SzArgsInit(SzArgs* args) {
    ZeroMemory(args, sizeof(*args));
}

bool SzArgsAdd2(SzArgs* args, LPCSTR first, LPCSTR second) {
    size_t a = strlen(first);
    size_t b = second != NULL ? strlen(second) : 0;
    if (!SzBufferReserve(args, a + b + 1)) {
        return false;
    }
    memcpy(args->text + args->used, first, a);
    if (b > 0) {
        memcpy(args->text + args->used + a, second, b);
    }
    args->text[args->used + a + b] = '\0';
    args->used += a + b + 1;
    args->count++;
    return true;
}

bool SzArgsAdd(SzArgs* args, LPCSTR value) {
    return SzArgsAdd2(args, value, NULL);
}

LPCSTR SzArgsAt(const SzArgs* args, int index) {
    if (index < 0 || index >= args->count) {
        return NULL;
    }
    int i = 0;
    const char* p = args->text;
    if (index >= args->cursorIndex) {
        i = args->cursorIndex;
        p += args->cursorOffset;
    }
    for (; i < index; i++) {
        p += strlen(p) + 1;
    }
    args->cursorIndex = index;
    args->cursorOffset = static_cast<size_t>(p - args->text);
    return p;
}

char** SzArgsVector(const SzArgs* args, int leading, char** leadingValues) {
    size_t slots = static_cast<size_t>(leading + args->count + 1);
    char** vector =
        static_cast<char**>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, slots * sizeof(char*)));
    if (vector == NULL) {
        return NULL;
    }
    for (int i = 0; i < leading; i++) {
        vector[i] = leadingValues[i];
    }
    char* p = args->text;
    for (int i = 0; i < args->count; i++) {
        vector[leading + i] = p;
        p += strlen(p) + 1;
    }
    return vector;
}

void SzArgsFree(SzArgs* args) {
    // The command's tokens include a -p value: the buffer wipes what it frees.
    SzBufferFree(args);
    ZeroMemory(args, sizeof(*args));
}
