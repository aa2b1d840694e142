// Finds message boxes (of this process or those it started), records
// their texts as bytes and presses a chosen button, from a watcher thread.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <mutex>
#include <thread>
#include <atomic>
#include <deque>
#include <functional>

namespace testsupport {

struct SeenDialog {
    std::string caption; // window title, code page 932 bytes
    std::string text;    // text of the message (static control 0xFFFF)
    HWND owner;          // GetWindow(GW_OWNER) when it was found
    bool hasYesNo;       // Yes and No buttons present
    int pressed;         // button id pressed (IDOK, IDYES, IDNO, ...)
};

class DialogWatcher {
  public:
    // Watches for top-level dialogs (class #32770) whose title ends with caption.
    explicit DialogWatcher(const std::string& caption = "Tessaro 1.1");
    ~DialogWatcher();
    // Answers for the next dialogs, in order; when they run out, defaultAnswer
    // (IDOK, or IDNO for a Yes/No box when defaultAnswer is IDOK).
    void QueueAnswers(const std::vector<int>& answers);
    void SetDefaultAnswer(int id) { defaultAnswer_ = id; }
    // Runs act on each dialog before its button is pressed (to fill it in, or
    // to look around while it is still open).
    void SetAction(std::function<void(HWND)> act) {
        std::lock_guard<std::mutex> guard(lock_);
        action_ = act;
    }
    // Everything seen so far.
    std::vector<SeenDialog> Seen();
    // Waits until at least n dialogs were seen (or timeoutMs passed).
    bool WaitFor(size_t n, DWORD timeoutMs = 10000);

  private:
    void Run();
    std::string caption_;
    std::atomic<bool> stop_;
    std::atomic<int> defaultAnswer_;
    std::mutex lock_;
    std::deque<int> answers_;
    std::vector<SeenDialog> seen_;
    std::vector<HWND> handled_;
    std::function<void(HWND)> action_;
    std::thread thread_;
};

} // namespace testsupport
