#include "sevenzip32/engine/console.h"

#include <string.h>

void SzConsoleInit(SzConsole* console) {
    ZeroMemory(console, sizeof(*console));
}

void SzConsoleInitRaw(SzConsole* console) {
    ZeroMemory(console, sizeof(*console));
    console->raw = true;
}

static void Append(SzConsole* console, const char* bytes, size_t count) {
    if (console->used + count + 2 > console->size) {
        size_t wanted = console->size * 2 + count + 1024;
        char* grown =
            console->text == NULL
                ? static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, wanted))
                : static_cast<char*>(HeapReAlloc(GetProcessHeap(), 0, console->text, wanted));
        if (grown == NULL) {
            console->failed = true;
            return;
        }
        console->text = grown;
        console->size = wanted;
    }
    memcpy(console->text + console->used, bytes, count);
    console->used += count;
    console->text[console->used] = '\0';
}

static size_t TrimmedLength(const SzConsole* console) {
    size_t n = console->lineLength;
    while (n > 0 && console->line[n - 1] == ' ') {
        n--;
    }
    return n;
}

static void FinishLine(SzConsole* console) {
    Append(console, console->line, TrimmedLength(console));
    Append(console, "\n", 1);
    console->lineLength = 0;
    console->cursor = 0;
}

void SzConsoleFeed(SzConsole* console, const char* bytes, size_t count) {
    if (console->raw) {
        Append(console, bytes, count);
        return;
    }
    for (size_t i = 0; i < count; i++) {
        char c = bytes[i];
        if (c == '\n') {
            FinishLine(console);
        } else if (c == '\r') {
            console->cursor = 0;
        } else if (c == '\b') {
            if (console->cursor > 0) {
                console->cursor--;
            }
        } else if (console->cursor < sizeof(console->line) - 1) {
            console->line[console->cursor++] = c;
            if (console->cursor > console->lineLength) {
                console->lineLength = console->cursor;
            }
        }
    }
}

LPCSTR SzConsoleText(SzConsole* console) {
    size_t keep = console->used;
    size_t n = TrimmedLength(console);
    Append(console, console->line, n);
    console->used = keep;
    if (console->text == NULL) {
        return "";
    }
    return console->text;
}

void SzConsoleFree(SzConsole* console) {
    if (console->text != NULL) {
        HeapFree(GetProcessHeap(), 0, console->text);
    }
    ZeroMemory(console, sizeof(*console));
}
