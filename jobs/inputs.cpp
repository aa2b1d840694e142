#include "jobs/inputs.h"
#include <string.h>
#include <strsafe.h>

void InitInputList(InputList* list) {
    list->entries = NULL;
    list->count = 0;
    list->capacity = 0;
}

static bool GrowInputList(InputList* list) {
    int capacity = list->capacity ? list->capacity * 2 : 8;
    HANDLE heap = GetProcessHeap();
    SIZE_T bytes = (SIZE_T)capacity * sizeof(PathEntry);
    void* grown =
        list->entries ? HeapReAlloc(heap, 0, list->entries, bytes) : HeapAlloc(heap, 0, bytes);
    if (grown == NULL) {
        return false;
    }
    list->entries = (PathEntry*)grown;
    list->capacity = capacity;
    return true;
}

bool AppendInput(InputList* list, const char* path) {
    if (strlen(path) > MAX_PATH) {
        return false;
    }
    if (list->count == list->capacity && !GrowInputList(list)) {
        return false;
    }
    PathEntry entry;
    ZeroMemory(&entry, sizeof entry);
    StringCchPrintfA(entry.path, sizeof entry.path, "%s", path);
    list->entries[list->count++] = entry;
    return true;
}

void FreeInputList(InputList* list) {
    if (list->entries != NULL) {
        HeapFree(GetProcessHeap(), 0, list->entries);
    }
    InitInputList(list);
}

bool AnyInputHasQuote(const InputList* list) {
    for (int i = 0; i < list->count; ++i) {
        if (strchr(list->entries[i].path, '"') != NULL) {
            return true;
        }
    }
    return false;
}
