#include "sevenzip32/dialogs/progress.h"

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>
#include <strsafe.h>

#include "sevenzip32/base/texts.h"
#include "sevenzip32/dialogs/ui.h"
#include "sevenzip32/engine/enginetext.h"

// What one progress window knows, owned by the window.
struct SzProgressState {
    volatile bool* cancelled;
    DWORD started;
    ULONGLONG total;
    bool shown;
};

static SzProgressState* StateOf(HWND progress) {
    return reinterpret_cast<SzProgressState*>(GetWindowLongPtrW(progress, DWLP_USER));
}

static INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SendDlgItemMessageA(dialog, SZ_ID_PROGRESS_BAR, PBM_SETRANGE32, 0, 100);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            *StateOf(dialog)->cancelled = true;
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        }
        return TRUE;
    case WM_NCDESTROY: HeapFree(GetProcessHeap(), 0, StateOf(dialog)); return FALSE;
    }
    return FALSE;
}

// The archive's own name, without its folders.
static LPCSTR LeafName(LPCSTR path) {
    LPCSTR leaf = path;
    for (LPCSTR p = path; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            leaf = p + 1;
        }
    }
    return leaf;
}

typedef BOOL(WINAPI* InitControlsFn)(const INITCOMMONCONTROLSEX*);

// The common controls, loaded with the first window that shows a bar, by
// name as an import would find them: imported, they cost every caller's
// start their load (9 ms under Wine), needed by runs that last half a second.
static bool LoadProgressBar() {
    HMODULE module = LoadLibraryA("comctl32.dll");
    InitControlsFn init = module != NULL ? reinterpret_cast<InitControlsFn>(reinterpret_cast<void*>(
                                               GetProcAddress(module, "InitCommonControlsEx")))
                                         : NULL;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    return init != NULL && init(&controls);
}

HWND SzOpenProgress(HWND owner, LPCSTR archive, DWORD started, volatile bool* cancelled) {
    static bool loaded = false;
    loaded = loaded || LoadProgressBar();
    if (!loaded) {
        return NULL;
    }
    SzProgressState* state = static_cast<SzProgressState*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SzProgressState)));
    if (state == NULL) {
        return NULL;
    }
    state->cancelled = cancelled;
    state->started = started;
    char title[MAX_PATH + 64];
    ZeroMemory(title, sizeof(title));
    StringCchPrintfA(title, sizeof(title), SZ_TEXT_PROGRESS_TITLE_FORMAT, LeafName(archive));
    HWND progress = CreateDialogParamW(SzLibraryModule(), MAKEINTRESOURCEW(SZ_IDD_PROGRESS), owner,
                                       ProgressProc, reinterpret_cast<LPARAM>(state));
    if (progress == NULL) {
        HeapFree(GetProcessHeap(), 0, state);
        return NULL;
    }
    WCHAR wide[MAX_PATH + 64];
    ZeroMemory(wide, sizeof(wide));
    MultiByteToWideChar(932, 0, title, -1, wide, MAX_PATH + 63);
    SetWindowTextW(progress, wide);
    return progress;
}

void SzSetProgressTotal(HWND progress, ULONGLONG totalBytes) {
    StateOf(progress)->total = totalBytes;
}

// Sizes as people read them: bytes, then KB, MB, GB with one decimal.
static void FormatSize(ULONGLONG bytes, LPSTR text, int textBytes) {
    static const LPCSTR kUnits[] = {"KB", "MB", "GB", "TB"};
    if (bytes < 1024) {
        StringCchPrintfA(text, textBytes, SZ_TEXT_BYTES_FORMAT, static_cast<unsigned>(bytes));
        return;
    }
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        unit++;
    }
    StringCchPrintfA(text, textBytes, "%.1f %s", value, kUnits[unit]);
}

static void FormatTime(DWORD seconds, LPSTR text, int textBytes) {
    if (seconds >= 3600) {
        StringCchPrintfA(text, textBytes, "%lu:%02lu:%02lu", seconds / 3600, seconds / 60 % 60,
                         seconds % 60);
    } else {
        StringCchPrintfA(text, textBytes, "%lu:%02lu", seconds / 60, seconds % 60);
    }
}

// Sets a control's text (code page 932, or UTF-8) only when it changed, so
// the window does not flicker at every poll.
static void SetText(HWND progress, int id, LPCSTR text, UINT codePage) {
    WCHAR wide[MAX_PATH * 2];
    WCHAR current[MAX_PATH * 2];
    ZeroMemory(wide, sizeof(wide));
    ZeroMemory(current, sizeof(current));
    MultiByteToWideChar(codePage, 0, text, -1, wide, MAX_PATH * 2 - 1);
    GetDlgItemTextW(progress, id, current, MAX_PATH * 2);
    if (wcscmp(current, wide) != 0) {
        SetDlgItemTextW(progress, id, wide);
    }
}

void SzFeedProgress(HWND progress, SzConsole* output) {
    SzProgressState* state = StateOf(progress);
    char line[SZ_LINE_BYTES + 1];
    char file[SZ_LINE_BYTES];
    ZeroMemory(line, sizeof(line));
    ZeroMemory(file, sizeof(file));
    memcpy(line, output->line, output->lineLength);
    if (state->total == 0 && output->text != NULL) {
        state->total = SzAddedBytes(output->text);
    }
    int percent = 0;
    if (SzParseProgress(line, &percent, file, sizeof(file))) {
        char text[64];
        ZeroMemory(text, sizeof(text));
        StringCchPrintfA(text, sizeof(text), SZ_TEXT_PROGRESS_FORMAT, percent);
        SetText(progress, SZ_ID_PROGRESS_TEXT, text, 932);
        if (file[0] != '\0') {
            SetText(progress, SZ_ID_PROGRESS_FILE, file, CP_UTF8);
        }
        SendDlgItemMessageA(progress, SZ_ID_PROGRESS_BAR, PBM_SETPOS, percent, 0);
    } else {
        percent =
            static_cast<int>(SendDlgItemMessageA(progress, SZ_ID_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    }
    char done[32], total[32], elapsed[32], left[32], text[160];
    ZeroMemory(done, sizeof(done));
    ZeroMemory(total, sizeof(total));
    ZeroMemory(elapsed, sizeof(elapsed));
    ZeroMemory(text, sizeof(text));
    StringCchCopyA(left, sizeof(left), SZ_TEXT_PROGRESS_UNKNOWN);
    FormatSize(state->total / 100 * percent + state->total % 100 * percent / 100, done,
               sizeof(done));
    FormatSize(state->total, total, sizeof(total));
    StringCchPrintfA(text, sizeof(text), SZ_TEXT_PROGRESS_SIZE_FORMAT, done, total);
    SetText(progress, SZ_ID_PROGRESS_SIZE, text, 932);
    DWORD ms = GetTickCount() - state->started;
    FormatTime(ms / 1000, elapsed, sizeof(elapsed));
    if (percent > 0) {
        FormatTime(
            static_cast<DWORD>(static_cast<ULONGLONG>(ms) * (100 - percent) / percent / 1000), left,
            sizeof(left));
    }
    StringCchPrintfA(text, sizeof(text), SZ_TEXT_PROGRESS_TIME_FORMAT, elapsed, left);
    SetText(progress, SZ_ID_PROGRESS_TIME, text, 932);
    if (!state->shown && ms >= SZ_PROGRESS_DELAY_MS) {
        state->shown = true;
        ShowWindow(progress, SW_SHOW);
    }
}
