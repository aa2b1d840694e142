// Folds the engine's console output (backspaces, carriage returns) into lines.
#pragma once
#include <windows.h>

#include "sevenzip32/base/buffer.h"

#define SZ_LINE_BYTES 1024

// The finished lines in the buffer; the current one apart.
struct SzConsole : SzBuffer {
    char line[SZ_LINE_BYTES]; // the line being written
    size_t lineLength;        // characters in line
    size_t cursor;            // where the next character goes in line
    bool raw;                 // bytes kept as they came: a program's report, not a console
};

// Starts an empty console.
void SzConsoleInit(SzConsole* console);

// Starts an empty console that keeps every byte as it comes (no folding, no
// line limit), for reports of the library's own host programs.
void SzConsoleInitRaw(SzConsole* console);

// Feeds bytes as the engine wrote them.
void SzConsoleFeed(SzConsole* console, const char* bytes, size_t count);

// The finished lines followed by the current line; valid until the next feed.
LPCSTR SzConsoleText(SzConsole* console);

// Releases the console's memory.
void SzConsoleFree(SzConsole* console);
