#include "sevenzip32/host/terminal.h"

#include <strsafe.h>

#include "sevenzip32/base/wine.h"

// The answer goes to a file in a fresh private folder, read back and deleted.
static const char kAskScript[] =
    "d=$1; { exec </dev/tty >/dev/tty; } 2>/dev/null || exit 2; "
    "old=$(stty -g); stty -echo; printf '%s' \"$2\"; IFS= read -r p; stty \"$old\"; "
    "printf '\\n'; [ -n \"$p\" ] || exit 3; printf '%s' \"$p\" >\"$d/answer\"";

bool SzAskOnHostTerminal(LPCSTR promptUtf8, LPWSTR answer, int answerChars) {
    char host[MAX_PATH * 3];
    WCHAR dir[MAX_PATH];
    ZeroMemory(answer, answerChars * sizeof(WCHAR));
    ZeroMemory(host, sizeof(host));
    ZeroMemory(dir, sizeof(dir));
    if (!SzHostPrivateFolder(host, sizeof(host), dir, MAX_PATH)) {
        return false;
    }
    bool ok = SzHostShell(kAskScript, host, promptUtf8) == 0;
    char line[1024];
    ZeroMemory(line, sizeof(line));
    WCHAR path[MAX_PATH];
    ZeroMemory(path, sizeof(path));
    StringCchPrintfW(path, MAX_PATH, L"%s\\answer", dir);
    if (ok) {
        HANDLE file = CreateFileW(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        DWORD got = 0;
        ok = file != INVALID_HANDLE_VALUE && ReadFile(file, line, sizeof(line) - 1, &got, NULL) &&
             got > 0;
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
        ok = ok && MultiByteToWideChar(CP_UTF8, 0, line, -1, answer, answerChars - 1) > 0;
    }
    SecureZeroMemory(line, sizeof(line));
    DeleteFileW(path);
    RemoveDirectoryW(dir);
    return ok;
}
