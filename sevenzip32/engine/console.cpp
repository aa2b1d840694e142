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
    SzBufferAppend(console, bytes, count);
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
    SzBufferFree(console);
    ZeroMemory(console, sizeof(*console));
}
