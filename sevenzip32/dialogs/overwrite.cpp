#include "sevenzip32/dialogs/overwrite.h"

#include <strsafe.h>
#include <wchar.h>

#include "sevenzip32/base/texts.h"
#include "sevenzip32/dialogs/ui.h"

static const struct {
    int id;
    SzOverwriteAnswer answer;
} kAnswers[] = {
    {IDYES, SZ_ANSWER_YES},   {SZ_ID_YES_ALL, SZ_ANSWER_YES_ALL}, {IDNO, SZ_ANSWER_NO},
    {IDCANCEL, SZ_ANSWER_NO}, {SZ_ID_NO_ALL, SZ_ANSWER_NO_ALL},   {SZ_ID_STOP, SZ_ANSWER_CANCEL},
};

static INT_PTR CALLBACK QuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetDlgItemTextW(dialog, SZ_ID_QUESTION_TEXT, reinterpret_cast<LPCWSTR>(lParam));
        SetForegroundWindow(dialog);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        for (size_t i = 0; i < sizeof(kAnswers) / sizeof(kAnswers[0]); i++) {
            if (kAnswers[i].id == LOWORD(wParam)) {
                EndDialog(dialog, LOWORD(wParam));
            }
        }
        return TRUE;
    }
    return FALSE;
}

// "12,345" and "2026/12/07 03:12" of a file, for people to compare.
static void Describe(LPCWSTR path, LPWSTR size, LPWSTR date) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    ZeroMemory(&data, sizeof(data));
    GetFileAttributesExW(path, GetFileExInfoStandard, &data);
    ULONGLONG bytes = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    WCHAR digits[32];
    ZeroMemory(digits, sizeof(digits));
    StringCchPrintfW(digits, 32, L"%I64u", bytes);
    int n = lstrlenW(digits);
    int out = 0;
    for (int i = 0; i < n; i++) {
        if (i > 0 && (n - i) % 3 == 0) {
            size[out++] = L',';
        }
        size[out++] = digits[i];
    }
    size[out] = L'\0';
    FILETIME local;
    SYSTEMTIME time;
    ZeroMemory(&time, sizeof(time));
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &time);
    StringCchPrintfW(date, 32, L"%04u/%02u/%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
                     time.wHour, time.wMinute, time.wSecond);
}

SzOverwriteAnswer SzAskOverwrite(HWND owner, LPCWSTR existing, LPCWSTR incoming) {
    if (!SzHaveDisplay()) {
        return SZ_ANSWER_NO;
    }
    WCHAR format[512];
    WCHAR sizes[2][48];
    WCHAR dates[2][32];
    WCHAR text[MAX_PATH * 2 + 512];
    ZeroMemory(format, sizeof(format));
    ZeroMemory(sizes, sizeof(sizes));
    ZeroMemory(dates, sizeof(dates));
    ZeroMemory(text, sizeof(text));
    MultiByteToWideChar(932, 0, SZ_TEXT_OVERWRITE_FORMAT, -1, format, 512);
    Describe(existing, sizes[0], dates[0]);
    Describe(incoming, sizes[1], dates[1]);
    // A long path's prefix is for the file functions, not for the reader.
    LPCWSTR shown = wcsncmp(existing, L"\\\\?\\", 4) == 0 ? existing + 4 : existing;
    StringCchPrintfW(text, sizeof(text) / sizeof(text[0]), format, shown, sizes[0], dates[0],
                     sizes[1], dates[1]);
    INT_PTR id = DialogBoxParamW(SzLibraryModule(), MAKEINTRESOURCEW(SZ_IDD_QUESTION), owner,
                                 QuestionProc, reinterpret_cast<LPARAM>(text));
    for (size_t i = 0; i < sizeof(kAnswers) / sizeof(kAnswers[0]); i++) {
        if (kAnswers[i].id == id) {
            return kAnswers[i].answer;
        }
    }
    return SZ_ANSWER_NO;
}
