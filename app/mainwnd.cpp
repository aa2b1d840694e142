#include "app/mainwnd.h"
#include "app/controls.h"
#include "app/form.h"
#include "archiver/sevenzip.h"
#include "jobs/dispatch.h"
#include "jobs/options.h"
#include "res/resource.h"

namespace {

const char kAppIconName[] = "APP_ICON";
const DWORD kMainStyleEx = WS_EX_ACCEPTFILES;
const DWORD kMainStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const int kMainWidth = 440;
const int kMainHeight = 260;

void OnCommand(HWND wnd, int id, int code) {
    switch (id) {
    case IDC_COMP_FORMAT:
        if (code == CBN_SELCHANGE) {
            ShowMethodListForFormat(ListSelection(IDC_COMP_FORMAT));
        }
        break;
    case IDC_COMP_ENCRYPT: EnableMethodListForEncryption(IsControlOn(IDC_COMP_ENCRYPT)); break;
    case IDC_OK:
        StoreControlsToSettings();
        SendMessageA(wnd, WM_CLOSE, 0, 0);
        break;
    case IDC_CANCEL: SendMessageA(wnd, WM_CLOSE, 0, 0); break;
    case IDC_DLLINFO:
        if (g_7zip.SevenZipConfigDialog != NULL) {
            g_7zip.SevenZipConfigDialog(wnd, NULL, 0);
        }
        SetFocus(ControlHandle(IDC_DLLINFO));
        break;
    default:
        // IDOK and IDCANCEL from the dialog keyboard: the message loop
        // presses OK and Cancel itself.
        break;
    }
}

} // namespace

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        CreateForm(wnd);
        CenterWindow(wnd);
        ApplySettingsToControls();
        SetFocus(ControlHandle(IDC_DECOMP_DESKTOP));
        return 1;
    case WM_COMMAND: OnCommand(wnd, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_DROPFILES: {
        // The job owns the drop handle from here on and releases it.
        JobOptions options = FormOptions();
        RunDropJob(wnd, (HDROP)wParam, &options);
        return 0;
    }
    case WM_DESTROY:
        ForgetControls();
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

bool RegisterMainClass(HINSTANCE instance) {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, kAppIconName);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszMenuName = NULL;
    wc.lpszClassName = MAIN_CLASS_NAME;
    return RegisterClassA(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowExA(kMainStyleEx, MAIN_CLASS_NAME, MAIN_WINDOW_TITLE, kMainStyle,
                           CW_USEDEFAULT, CW_USEDEFAULT, kMainWidth, kMainHeight, NULL, NULL,
                           instance, NULL);
}

void CenterWindow(HWND mainWnd) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    CenterWindowOn(mainWnd, &desktop);
}

void CenterWindowOn(HWND mainWnd, const RECT* desktop) {
    RECT window;
    GetWindowRect(mainWnd, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int x = (desktop->right - width) / 2;
    int y = (desktop->bottom - height) / 3;
    if (x < 0) {
        x = 0;
    }
    if (y < 0) {
        y = 0;
    }
    SetWindowPos(mainWnd, HWND_TOP, x, y, width, height, SWP_SHOWWINDOW);
}
