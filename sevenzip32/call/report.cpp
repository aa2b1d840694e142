#include "sevenzip32/call/call.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/archive/legacy.h"
#include "sevenzip32/engine/enginetext.h"

void SzCopyOutput(SzCall* call, LPSTR output, DWORD outputSize) {
    if (output == NULL || outputSize == 0) {
        return;
    }
    ZeroMemory(output, outputSize);
    LPCSTR text = SzConsoleText(&call->output);
    // Legacy ZIP names as they land on disk, not as raw bytes.
    LPSTR decoded = call->cmd.command != 'a' && call->cmd.archive[0] != '\0'
                        ? SzDecodeLegacyText(call->cmd.archive, text)
                        : NULL;
    if (decoded != NULL) {
        text = decoded;
    }
    int chars = MultiByteToWideChar(CP_UTF8, 0, text, -1, NULL, 0);
    LPWSTR wide = chars > 0 ? static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                            chars * sizeof(WCHAR)))
                            : NULL;
    int bytes = 0;
    if (wide != NULL) {
        MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, chars);
        bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, NULL, 0, NULL, NULL);
    }
    LPSTR ansi =
        bytes > 0 ? static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes)) : NULL;
    if (ansi != NULL) {
        WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, bytes, NULL, NULL);
        // Cut at a whole character, never between the two bytes of one.
        LPCSTR end = ansi;
        for (LPCSTR next = ansi; *next != '\0'; next = CharNextA(next)) {
            LPCSTR after = CharNextA(next);
            if (static_cast<DWORD>(after - ansi) > outputSize - 1) {
                break;
            }
            end = after;
        }
        memcpy(output, ansi, static_cast<size_t>(end - ansi));
        HeapFree(GetProcessHeap(), 0, ansi);
    }
    if (wide != NULL) {
        HeapFree(GetProcessHeap(), 0, wide);
    }
    if (decoded != NULL) {
        HeapFree(GetProcessHeap(), 0, decoded);
    }
}

void SzRecord(SzCall* call, SzConsole* text) {
    LPCSTR s = SzConsoleText(text);
    SzConsoleFeed(&call->output, s, strlen(s));
}

// Every failure the user is told about passes here: text (code page 932)
// says what went wrong, detail (UTF-8) names files or quotes the engine.
void SzReportFailure(SzCall* call, LPCSTR text, LPCSTR detailUtf8) {
    SzShowMessage(call->owner, text, detailUtf8, MB_OK | MB_ICONERROR);
}

// The engine's complaint: its error stream, or its output when that was empty.
void SzReportEngineFailure(SzCall* call, SzConsole* errors, SzConsole* output) {
    LPCSTR detail = SzConsoleText(errors);
    while (*detail == '\n') {
        detail++;
    }
    if (*detail == '\0') {
        detail = SzConsoleText(output);
    }
    char sentence[MAX_PATH * 3];
    if (SzDescribeFailure(detail, call->cmd.archive, sentence, sizeof(sentence) - 8)) {
        StringCchCatA(sentence, sizeof(sentence), "\r\n\r\n");
    }
    SzReportFailure(call, sentence[0] != '\0' ? sentence : SZ_TEXT_FAILED, detail);
}
