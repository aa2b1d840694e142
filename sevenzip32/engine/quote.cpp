#include "sevenzip32/engine/quote.h"

#include <string.h>

static bool Put(LPSTR cmdLine, size_t cmdBytes, size_t* used, char c, size_t repeat) {
    if (*used + repeat + 1 > cmdBytes) {
        return false;
    }
    for (size_t i = 0; i < repeat; i++) {
        cmdLine[(*used)++] = c;
    }
    cmdLine[*used] = '\0';
    return true;
}

// Appends at *usedBytes and advances it, so a long line is built in one pass.
static bool AppendAt(LPSTR cmdLine, size_t cmdBytes, size_t* usedBytes, LPCSTR argument) {
    size_t& used = *usedBytes;
    if (used > 0 && !Put(cmdLine, cmdBytes, &used, ' ', 1)) {
        return false;
    }
    bool plain = argument[0] != '\0' && strpbrk(argument, " \t\n\v\"") == NULL;
    if (plain) {
        size_t n = strlen(argument);
        if (used + n + 1 > cmdBytes) {
            return false;
        }
        memcpy(cmdLine + used, argument, n + 1);
        used += n;
        return true;
    }
    bool ok = Put(cmdLine, cmdBytes, &used, '"', 1);
    for (LPCSTR p = argument; ok; p++) {
        size_t backslashes = 0;
        while (*p == '\\') {
            backslashes++;
            p++;
        }
        if (*p == '\0') {
            // Doubled so the closing quote stays a quote.
            ok = Put(cmdLine, cmdBytes, &used, '\\', backslashes * 2);
            break;
        }
        if (*p == '"') {
            ok = Put(cmdLine, cmdBytes, &used, '\\', backslashes * 2 + 1) &&
                 Put(cmdLine, cmdBytes, &used, '"', 1);
        } else {
            ok = Put(cmdLine, cmdBytes, &used, '\\', backslashes) &&
                 Put(cmdLine, cmdBytes, &used, *p, 1);
        }
    }
    return ok && Put(cmdLine, cmdBytes, &used, '"', 1);
}

bool SzAppendQuoted(LPSTR cmdLine, size_t cmdBytes, LPCSTR argument) {
    size_t used = strlen(cmdLine);
    return AppendAt(cmdLine, cmdBytes, &used, argument);
}

LPSTR SzJoinCommandLine(LPCSTR program, const SzArgs* args) {
    // Worst case: every character doubled plus quotes and a blank.
    size_t bytes = (strlen(program) + 3) * 2 + 1;
    for (int i = 0; i < args->count; i++) {
        bytes += (strlen(SzArgsAt(args, i)) + 3) * 2;
    }
    LPSTR cmdLine = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (cmdLine == NULL) {
        return NULL;
    }
    size_t used = 0;
    bool ok = AppendAt(cmdLine, bytes, &used, program);
    for (int i = 0; ok && i < args->count; i++) {
        ok = AppendAt(cmdLine, bytes, &used, SzArgsAt(args, i));
    }
    if (!ok) {
        HeapFree(GetProcessHeap(), 0, cmdLine);
        return NULL;
    }
    return cmdLine;
}
