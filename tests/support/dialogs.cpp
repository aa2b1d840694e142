#include "tests/support/dialogs.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <tlhelp32.h>

namespace testsupport {

DialogWatcher::DialogWatcher(const std::string& caption)
    : caption_(caption), stop_(false), defaultAnswer_(IDOK), thread_(&DialogWatcher::Run, this) {}

DialogWatcher::~DialogWatcher() {
    stop_ = true;
    thread_.join();
}

void DialogWatcher::QueueAnswers(const std::vector<int>& answers) {
    std::lock_guard<std::mutex> guard(lock_);
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

void DialogWatcher::SetAction(std::function<void(HWND)> act) {
    std::lock_guard<std::mutex> guard(lock_);
    action_ = act;
}

std::vector<SeenDialog> DialogWatcher::Seen() {
    std::lock_guard<std::mutex> guard(lock_);
    return seen_;
}

bool DialogWatcher::WaitFor(size_t n, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); Seen().size() < n; Sleep(20)) {
        if (GetTickCount() - start >= timeoutMs) {
            ADD_FAILURE() << "waited " << timeoutMs << " ms for " << n << " boxes \"" << caption_
                          << "\", saw " << Seen().size();
            return false;
        }
    }
    return true;
}

static std::string TextOf(HWND wnd) {
    char buf[4096] = {0};
    DWORD_PTR got = 0;
    SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, &got);
    return buf;
}

// True for this process and the processes it started (and theirs): test
// programs run side by side in one Wine session, and a watcher must neither
// see nor answer another program's boxes.
static bool IsOurs(DWORD pid) {
    std::vector<std::pair<DWORD, DWORD>> parents; // (process, parent)
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        parents.push_back(std::make_pair(entry.th32ProcessID, entry.th32ParentProcessID));
    }
    CloseHandle(snap);
    for (int depth = 0; depth < 8 && pid != 0 && pid != GetCurrentProcessId(); ++depth) {
        DWORD parent = 0;
        for (const auto& p : parents) {
            parent = p.first == pid ? p.second : parent;
        }
        pid = parent;
    }
    return pid == GetCurrentProcessId();
}

// The buttons a box shows, in id order, '*' after the default, and whether
// an icon shows beside the text.
static std::string FormOf(HWND dlg) {
    static const std::pair<int, const char*> kButtons[] = {
        {IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDYES, "Yes"}, {IDNO, "No"}};
    std::string form;
    for (const auto& b : kButtons) {
        HWND button = GetDlgItem(dlg, b.first);
        if (button != NULL && IsWindowVisible(button)) {
            bool byDefault = (GetWindowLongA(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
            form += (form.empty() ? "" : " ") + std::string(b.second) + (byDefault ? "*" : "");
        }
    }
    for (HWND c = GetWindow(dlg, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(c) &&
            SendMessageA(c, STM_GETICON, 0, 0) != 0) {
            return form + " icon";
        }
    }
    return form;
}

static BOOL CALLBACK Collect(HWND wnd, LPARAM found) {
    char cls[64] = {0};
    GetClassNameA(wnd, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(wnd)) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(wnd);
    }
    return TRUE;
}

void DialogWatcher::Handle(HWND dlg) {
    DWORD pid = 0;
    GetWindowThreadProcessId(dlg, &pid);
    if (TextOf(dlg) != caption_ || !IsOurs(pid)) {
        return;
    }
    HWND label = GetDlgItem(dlg, 0xFFFF);
    bool yesNo = GetDlgItem(dlg, IDYES) != NULL && GetDlgItem(dlg, IDNO) != NULL;
    SeenDialog seen = {caption_,    label ? TextOf(label) : "",
                       FormOf(dlg), GetWindow(dlg, GW_OWNER),
                       yesNo,       defaultAnswer_ == IDOK && yesNo ? IDNO : defaultAnswer_.load()};
    std::function<void(HWND)> act;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!answers_.empty()) {
            seen.pressed = answers_.front();
            answers_.pop_front();
        }
        if (GetDlgItem(dlg, seen.pressed) == NULL) {
            seen.pressed = GetDlgItem(dlg, IDOK) ? IDOK : IDCANCEL;
        }
        seen_.push_back(seen);
        act = action_;
    }
    if (act) {
        act(dlg);
    }
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(seen.pressed, BN_CLICKED),
                 (LPARAM)GetDlgItem(dlg, seen.pressed));
}

void DialogWatcher::Run() {
    for (; !stop_; Sleep(30)) {
        std::vector<HWND> found;
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
        handled_.erase(
            std::remove_if(handled_.begin(), handled_.end(), [](HWND w) { return !IsWindow(w); }),
            handled_.end());
        for (HWND dlg : found) {
            if (std::find(handled_.begin(), handled_.end(), dlg) == handled_.end()) {
                handled_.push_back(dlg);
                Handle(dlg);
            }
        }
    }
}

} // namespace testsupport
