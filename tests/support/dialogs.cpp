#include "tests/support/dialogs.h"
#include <algorithm>
#include <tlhelp32.h>

namespace testsupport {

DialogWatcher::DialogWatcher(const std::string& caption)
    : caption_(caption), stop_(false), defaultAnswer_(IDOK) {
    thread_ = std::thread(&DialogWatcher::Run, this);
}

DialogWatcher::~DialogWatcher() {
    stop_ = true;
    thread_.join();
}

void DialogWatcher::QueueAnswers(const std::vector<int>& answers) {
    std::lock_guard<std::mutex> guard(lock_);
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

std::vector<SeenDialog> DialogWatcher::Seen() {
    std::lock_guard<std::mutex> guard(lock_);
    return seen_;
}

bool DialogWatcher::WaitFor(size_t n, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (Seen().size() >= n) {
            return true;
        }
        Sleep(20);
    }
    return Seen().size() >= n;
}

static std::string TextOf(HWND wnd) {
    char buf[4096] = {0};
    DWORD_PTR got = 0;
    SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, &got);
    return std::string(buf, strnlen(buf, sizeof buf));
}

struct Candidates {
    const std::string* caption;
    std::vector<HWND> found;
};

// True for this process and the processes it started (and theirs): test
// programs run side by side in one Wine session, and a watcher must neither
// see nor answer another program's boxes.
static bool IsOurs(DWORD pid) {
    const DWORD self = GetCurrentProcessId();
    if (pid == self) {
        return true;
    }
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::vector<std::pair<DWORD, DWORD>> parents; // (process, parent)
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        parents.push_back(std::make_pair(entry.th32ProcessID, entry.th32ParentProcessID));
    }
    CloseHandle(snap);
    for (int depth = 0; depth < 8 && pid != 0; ++depth) {
        DWORD parent = 0;
        for (const auto& p : parents) {
            if (p.first == pid) {
                parent = p.second;
                break;
            }
        }
        if (parent == self) {
            return true;
        }
        pid = parent;
    }
    return false;
}

static BOOL CALLBACK Collect(HWND wnd, LPARAM param) {
    Candidates* c = reinterpret_cast<Candidates*>(param);
    char cls[64] = {0};
    GetClassNameA(wnd, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    // A title may lead with what the window is about ("x.7z - …").
    std::string title = TextOf(wnd);
    bool titled =
        title.size() >= c->caption->size() &&
        title.compare(title.size() - c->caption->size(), std::string::npos, *c->caption) == 0;
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(wnd) && titled && IsOurs(pid)) {
        c->found.push_back(wnd);
    }
    return TRUE;
}

void DialogWatcher::Run() {
    while (!stop_) {
        Candidates c;
        c.caption = &caption_;
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&c));
        for (HWND dlg : c.found) {
            {
                std::lock_guard<std::mutex> guard(lock_);
                if (std::find(handled_.begin(), handled_.end(), dlg) != handled_.end()) {
                    continue;
                }
            }
            SeenDialog seen;
            seen.caption = caption_;
            HWND label = GetDlgItem(dlg, 0xFFFF);
            seen.text = label ? TextOf(label) : std::string();
            seen.owner = GetWindow(dlg, GW_OWNER);
            seen.hasYesNo = GetDlgItem(dlg, IDYES) != NULL && GetDlgItem(dlg, IDNO) != NULL;
            int answer;
            {
                std::lock_guard<std::mutex> guard(lock_);
                if (!answers_.empty()) {
                    answer = answers_.front();
                    answers_.pop_front();
                } else {
                    answer = defaultAnswer_;
                    if (answer == IDOK && seen.hasYesNo) {
                        answer = IDNO;
                    }
                }
            }
            if (GetDlgItem(dlg, answer) == NULL) {
                answer = GetDlgItem(dlg, IDOK) ? IDOK : IDCANCEL;
            }
            seen.pressed = answer;
            {
                std::lock_guard<std::mutex> guard(lock_);
                handled_.push_back(dlg);
                seen_.push_back(seen);
            }
            std::function<void(HWND)> act;
            {
                std::lock_guard<std::mutex> guard(lock_);
                act = action_;
            }
            if (act) {
                act(dlg);
            }
            PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                         (LPARAM)GetDlgItem(dlg, answer));
        }
        {
            std::lock_guard<std::mutex> guard(lock_);
            handled_.erase(std::remove_if(handled_.begin(), handled_.end(),
                                          [](HWND w) { return !IsWindow(w); }),
                           handled_.end());
        }
        Sleep(30);
    }
}

} // namespace testsupport
