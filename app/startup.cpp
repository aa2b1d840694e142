#include "app/startup.h"

#include <stdlib.h>
#include <strsafe.h>

#include "app/controls.h"
#include "app/mainwnd.h"
#include "archiver/sevenzip.h"
#include "jobs/dispatch.h"
#include "jobs/messages.h"
#include "res/resource.h"

namespace {

// The mutex shares its name with the window class: one name marks the program.
const char kInstanceMutexName[] = MAIN_CLASS_NAME;
const char kLoadFailedText[] = "7-zip32.dll を読み込めませんでした。 プログラムを終了します。";
const char kOldVersionFormat[] =
    "7-zip32.dll のバージョンが %.2f です。 9.20 以降を使用して下さい。";

// What a key does once the dialog handling has taken it: press one button,
// unless the focus sits on one of the buttons that keep the key for themselves.
struct KeyPress {
    WPARAM key;
    int pressId;
    int keepIds[2]; // 0: no button
};
const KeyPress kKeyPresses[] = {
    {VK_RETURN, IDC_OK, {IDC_CANCEL, IDC_DLLINFO}},
    {VK_ESCAPE, IDC_CANCEL, {0, 0}},
};

void ShowStartupMessage(LPCSTR text) {
    MessageBoxA(NULL, text, MESSAGE_CAPTION, MB_OK);
}

// Another instance owns the name: bring its window forward, or tell the user
// when it is busy with a command-line job. This start's arguments are dropped.
void HandOverToFirstInstance() {
    HWND first = FindWindowA(MAIN_CLASS_NAME, MAIN_WINDOW_TITLE);
    if (first != NULL) {
        if (IsIconic(first)) {
            ShowWindowAsync(first, SW_RESTORE);
        }
        SetForegroundWindow(first);
        return;
    }
    if (g_7zip.available && g_7zip.SevenZipGetRunning() != 0) {
        ShowStartupMessage(MSG_BUSY);
    }
}

// False (after telling the user) when the library is older than 9.20.
bool LibraryVersionAccepted() {
    // Hundredths in the low 16 bits, unsigned: 920 is 9.20.
    const WORD version = static_cast<WORD>(g_7zip.SevenZipGetVersion());
    if (version >= SEVENZIP_MIN_VERSION) {
        return true;
    }
    char text[128];
    ZeroMemory(text, sizeof(text));
    StringCchPrintfA(text, sizeof(text), kOldVersionFormat, version / 100.0);
    ShowStartupMessage(text);
    return false;
}

// Everything the owner of the name does; the caller releases the name after.
int RunOwningInstance(HINSTANCE instance, int showCommand) {
    if (!g_7zip.available) {
        ShowStartupMessage(kLoadFailedText);
        return 0;
    }
    if (!LibraryVersionAccepted()) {
        return 0;
    }
    if (__argc > 1) {
        RunCommandLineJob();
        return 0;
    }
    if (!RegisterMainClass(instance)) {
        return 0;
    }
    HWND mainWnd = CreateMainWindow(instance);
    // Without a window the loop would wait for a quit that never comes.
    if (mainWnd == NULL) {
        return 0;
    }
    ShowWindow(mainWnd, showCommand);
    UpdateWindow(mainWnd);
    return RunMessageLoop(mainWnd);
}

// True when focus is the existing control id.
bool FocusIsControl(HWND focus, int id) {
    if (id == 0 || focus == NULL) {
        return false;
    }
    return focus == ControlHandle(id);
}

void PressButtonForKey(WPARAM key) {
    for (size_t i = 0; i < sizeof(kKeyPresses) / sizeof(kKeyPresses[0]); ++i) {
        const KeyPress& press = kKeyPresses[i];
        if (press.key != key) {
            continue;
        }
        HWND button = ControlHandle(press.pressId);
        if (button == NULL) {
            return;
        }
        HWND focus = GetFocus();
        for (size_t k = 0; k < sizeof(press.keepIds) / sizeof(press.keepIds[0]); ++k) {
            if (FocusIsControl(focus, press.keepIds[k])) {
                return;
            }
        }
        SendMessageA(button, BM_CLICK, 0, 0);
        return;
    }
}

} // namespace

int RunTessaro(HINSTANCE instance, int showCommand) {
    // Only this call's own report may decide the road, not an error left by
    // the static objects built before.
    SetLastError(ERROR_SUCCESS);
    HANDLE mutex = CreateMutexA(NULL, TRUE, kInstanceMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        HandOverToFirstInstance();
        // Never owned here, so closed without a release.
        if (mutex != NULL) {
            CloseHandle(mutex);
        }
        return 0;
    }
    const int exitCode = RunOwningInstance(instance, showCommand);
    if (mutex != NULL) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return exitCode;
}

int RunMessageLoop(HWND mainWnd) {
    MSG msg;
    ZeroMemory(&msg, sizeof(msg));
    for (;;) {
        const BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return 0;
        }
        if (!IsDialogMessageA(mainWnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (msg.message == WM_KEYDOWN) {
            PressButtonForKey(msg.wParam);
        }
    }
}
