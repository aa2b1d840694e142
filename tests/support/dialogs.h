// Finds message boxes (of this process or those it started), records their
// texts as bytes and their form, and presses a chosen button, from a thread.
#pragma once
#include "jobs/messages.h"
#include <windows.h>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct SeenDialog {
    std::string caption; // window title, code page 932 bytes
    std::string text;    // text of the message (static control 0xFFFF)
    std::string form;    // shown buttons, '*' after the default, then " icon" if one shows
    HWND owner;          // GetWindow(GW_OWNER) when it was found
    bool hasYesNo;       // Yes and No buttons present
    int pressed;         // button id pressed (IDOK, IDYES, IDNO, ...)
};

class DialogWatcher {
  public:
    // Watches for top-level dialogs (class #32770) whose title ends with caption.
    explicit DialogWatcher(const std::string& caption = MESSAGE_CAPTION);
    ~DialogWatcher();
    // Answers for the next dialogs, in order; when they run out, the default
    // answer (IDOK, or IDNO for a Yes/No box when it is IDOK).
    void QueueAnswers(const std::vector<int>& answers);
    void SetDefaultAnswer(int id) { defaultAnswer_ = id; }
    // Runs act on each dialog before its button is pressed.
    void SetAction(std::function<void(HWND)> act);
    // Everything seen so far.
    std::vector<SeenDialog> Seen();
    // Waits until at least n dialogs were seen; a failure of the test when
    // timeoutMs passes first.
    bool WaitFor(size_t n, DWORD timeoutMs = 10000);

  private:
    void Run();
    void Handle(HWND dlg);
    std::string caption_;
    std::atomic<bool> stop_;
    std::atomic<int> defaultAnswer_;
    std::mutex lock_;
    std::deque<int> answers_;
    std::vector<SeenDialog> seen_;
    std::vector<HWND> handled_; // the watcher thread's own
    std::function<void(HWND)> action_;
    std::thread thread_; // last: it starts at once
};

} // namespace testsupport
