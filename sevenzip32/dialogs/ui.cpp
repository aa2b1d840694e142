#include "sevenzip32/dialogs/ui.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/base/wine.h"
#include "sevenzip32/host/terminal.h"
#include "sevenzip32/base/texts.h"

HINSTANCE SzLibraryModule() {
    HMODULE module = NULL;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&SzLibraryModule), &module);
    return module;
}

bool SzHaveDisplay() {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    if (probe == NULL) {
        return false;
    }
    DestroyWindow(probe);
    return GetSystemMetrics(SM_CXSCREEN) > 0;
}

static void WriteStandardError(LPCWSTR caption, LPCWSTR message) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == NULL || error == INVALID_HANDLE_VALUE) {
        return;
    }
    LPCWSTR parts[] = {caption, L": ", message, L"\n"};
    for (LPCWSTR part : parts) {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, part, -1, NULL, 0, NULL, NULL);
        char* utf8 = bytes > 0 ? static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, bytes)) : NULL;
        if (utf8 == NULL) {
            return;
        }
        WideCharToMultiByte(CP_UTF8, 0, part, -1, utf8, bytes, NULL, NULL);
        DWORD written = 0;
        WriteFile(error, utf8, static_cast<DWORD>(bytes - 1), &written, NULL);
        HeapFree(GetProcessHeap(), 0, utf8);
    }
}

void SzShowMessage(HWND owner, LPCSTR text, LPCSTR detailUtf8, UINT flags) {
    int head = MultiByteToWideChar(932, 0, text, -1, NULL, 0);
    int tail = detailUtf8 != NULL ? MultiByteToWideChar(CP_UTF8, 0, detailUtf8, -1, NULL, 0) : 1;
    size_t chars = static_cast<size_t>(head + tail + 1);
    LPWSTR message =
        static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, chars * sizeof(WCHAR)));
    WCHAR caption[64];
    ZeroMemory(caption, sizeof(caption));
    MultiByteToWideChar(932, 0, SZ_TEXT_TITLE, -1, caption, 64);
    if (message == NULL) {
        return;
    }
    MultiByteToWideChar(932, 0, text, -1, message, head);
    if (detailUtf8 != NULL && head > 0) {
        MultiByteToWideChar(CP_UTF8, 0, detailUtf8, -1, message + head - 1, tail);
    }
    if (!SzHaveDisplay()) {
        // Nobody would see the box: the standard error stream may reach someone.
        WriteStandardError(caption, message);
    }
    MessageBoxW(owner, message, caption, flags);
    HeapFree(GetProcessHeap(), 0, message);
}

struct SzPasswordState {
    bool confirm;
    bool asciiOnly;
    LPWSTR password;
    int passwordChars;
};

static void OwnMessage(HWND dialog, LPCSTR text) {
    SzShowMessage(dialog, text, NULL, MB_OK | MB_ICONWARNING);
}

static bool AcceptPassword(HWND dialog, SzPasswordState* state) {
    WCHAR confirm[256];
    ZeroMemory(confirm, sizeof(confirm));
    ZeroMemory(state->password, state->passwordChars * sizeof(WCHAR));
    GetDlgItemTextW(dialog, SZ_ID_PASSWORD, state->password, state->passwordChars);
    GetDlgItemTextW(dialog, SZ_ID_CONFIRM, confirm, 256);
    bool ok = true;
    bool ascii = true;
    for (LPCWSTR p = state->password; *p != L'\0'; p++) {
        ascii = ascii && *p >= 0x20 && *p < 0x7F;
    }
    if (state->password[0] == L'\0') {
        OwnMessage(dialog, SZ_TEXT_PASSWORD_EMPTY);
        ok = false;
    } else if (state->asciiOnly && !ascii) {
        OwnMessage(dialog, SZ_TEXT_PASSWORD_ASCII);
        ok = false;
    } else if (state->confirm && wcscmp(state->password, confirm) != 0) {
        OwnMessage(dialog, SZ_TEXT_PASSWORD_MISMATCH);
        SetDlgItemTextW(dialog, SZ_ID_PASSWORD, L"");
        SetDlgItemTextW(dialog, SZ_ID_CONFIRM, L"");
        ok = false;
    }
    SecureZeroMemory(confirm, sizeof(confirm));
    if (!ok) {
        SecureZeroMemory(state->password, state->passwordChars * sizeof(WCHAR));
        SetFocus(GetDlgItem(dialog, SZ_ID_PASSWORD));
    }
    return ok;
}

static INT_PTR CALLBACK PasswordProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    SzPasswordState* state =
        reinterpret_cast<SzPasswordState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<SzPasswordState*>(lParam);
        if (!state->confirm) {
            ShowWindow(GetDlgItem(dialog, SZ_ID_CONFIRM_LABEL), SW_HIDE);
            ShowWindow(GetDlgItem(dialog, SZ_ID_CONFIRM), SW_HIDE);
        }
        SendDlgItemMessageW(dialog, SZ_ID_PASSWORD, EM_LIMITTEXT, state->passwordChars - 1, 0);
        SetForegroundWindow(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && AcceptPassword(dialog, state)) {
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
    return FALSE;
}

static bool ReadTerminalLine(HANDLE input, LPCSTR prompt, LPWSTR line, int lineChars) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    WriteConsoleA(output, prompt, static_cast<DWORD>(strlen(prompt)), &written, NULL);
    ZeroMemory(line, lineChars * sizeof(WCHAR));
    DWORD got = 0;
    bool ok = ReadConsoleW(input, line, lineChars - 1, &got, NULL) != FALSE;
    WriteConsoleA(output, "\r\n", 2, &written, NULL);
    for (DWORD i = 0; i < got; i++) {
        if (line[i] == L'\r' || line[i] == L'\n') {
            line[i] = L'\0';
        }
    }
    return ok && line[0] != L'\0';
}

static bool AskHostLine(LPCSTR prompt, LPWSTR line, int lineChars) {
    WCHAR wide[128];
    char utf8[512];
    ZeroMemory(wide, sizeof(wide));
    ZeroMemory(utf8, sizeof(utf8));
    MultiByteToWideChar(932, 0, prompt, -1, wide, 128);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof(utf8), NULL, NULL);
    return SzAskOnHostTerminal(utf8, line, lineChars);
}

// Under Wine the terminal is the host's: asked there with echo off.
static SzAsk AskOnHostTerminal(bool confirm, LPWSTR password, int passwordChars) {
    if (!SzIsWine()) {
        return SZ_ASK_UNAVAILABLE;
    }
    if (!AskHostLine(SZ_TEXT_TERMINAL_PROMPT, password, passwordChars)) {
        return SZ_ASK_UNAVAILABLE;
    }
    WCHAR again[256];
    ZeroMemory(again, sizeof(again));
    bool ok = !confirm ||
              (AskHostLine(SZ_TEXT_TERMINAL_CONFIRM, again, 256) && wcscmp(password, again) == 0);
    SecureZeroMemory(again, sizeof(again));
    if (!ok) {
        SecureZeroMemory(password, passwordChars * sizeof(WCHAR));
        return SZ_ASK_CANCELLED;
    }
    return SZ_ASK_OK;
}

static SzAsk AskOnTerminal(bool confirm, LPWSTR password, int passwordChars) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == NULL || input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) {
        return AskOnHostTerminal(confirm, password, passwordChars);
    }
    SetConsoleMode(input, (mode & ~ENABLE_ECHO_INPUT) | ENABLE_LINE_INPUT);
    WCHAR again[256];
    bool ok = ReadTerminalLine(input, SZ_TEXT_TERMINAL_PROMPT, password, passwordChars);
    if (ok && confirm) {
        ok = ReadTerminalLine(input, SZ_TEXT_TERMINAL_CONFIRM, again, 256) &&
             wcscmp(password, again) == 0;
    }
    SecureZeroMemory(again, sizeof(again));
    SetConsoleMode(input, mode);
    if (!ok) {
        SecureZeroMemory(password, passwordChars * sizeof(WCHAR));
        return SZ_ASK_CANCELLED;
    }
    return SZ_ASK_OK;
}

SzAsk SzAskPassword(HWND owner, bool confirm, bool asciiOnly, LPWSTR password, int passwordChars) {
    ZeroMemory(password, passwordChars * sizeof(WCHAR));
    if (!SzHaveDisplay()) {
        return AskOnTerminal(confirm, password, passwordChars);
    }
    SzPasswordState state = {confirm, asciiOnly, password, passwordChars};
    INT_PTR answer = DialogBoxParamW(SzLibraryModule(), MAKEINTRESOURCEW(SZ_IDD_PASSWORD), owner,
                                     PasswordProc, reinterpret_cast<LPARAM>(&state));
    if (answer == -1) {
        return SZ_ASK_UNAVAILABLE;
    }
    return answer == IDOK ? SZ_ASK_OK : SZ_ASK_CANCELLED;
}
