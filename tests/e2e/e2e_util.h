// Shared by the end-to-end tests: generated trees, tree comparison, and a
// watcher that answers the library's own windows from another thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// UTF-16 from code page 932 and back, UTF-8 for messages.
std::wstring Wide(const std::string& acp);
std::string Acp(const std::wstring& wide);
std::string Utf8(const std::wstring& wide);

// Builds the test tree under root: nested folders, an empty folder, an empty
// file, a 10 MB file, names with blanks, a leading dash and 表 / ソ.
void MakeTree(const std::wstring& root, size_t bigBytes = 10u * 1024u * 1024u);

// Every name under root ("dir/" for folders) with the bytes of each file.
std::vector<std::pair<std::wstring, std::string>> ReadTree(const std::wstring& root);

// "" when both trees hold the same names and bytes, else what differs.
std::string CompareTrees(const std::wstring& expected, const std::wstring& actual);

// Whole file as bytes (UTF-16 name).
std::string FileBytes(const std::wstring& path);

// A temporary folder of the test (UTF-16), emptied first.
std::wstring FreshDir(const std::wstring& tag);

// Answers every visible dialog whose caption is caption by calling act.
class WindowAnswerer {
  public:
    WindowAnswerer(const std::wstring& caption, std::function<void(HWND)> act, DWORD delayMs = 0);
    ~WindowAnswerer();
    int Count() const { return count_; }

  private:
    void Run();
    std::wstring caption_;
    std::function<void(HWND)> act_;
    DWORD delayMs_;
    std::atomic<bool> stop_;
    std::atomic<int> count_;
    std::thread thread_;
};

// Records the texts of the message boxes titled caption and answers each
// with the button answer.
class Boxes {
  public:
    Boxes(const std::wstring& caption, int answer);
    // Every text seen so far, one after another, each followed by a newline.
    std::wstring All();

  private:
    std::mutex lock_;
    std::wstring texts_;
    WindowAnswerer answerer_;
};

// Fills the library's password dialog with password and presses OK (or
// Cancel when password is empty).
std::function<void(HWND)> TypePassword(const std::wstring& password);

// Presses a button of a dialog.
std::function<void(HWND)> Press(int id);

// The library's captions.
extern const wchar_t kPasswordCaption[];
extern const wchar_t kProgressCaption[];
extern const wchar_t kMessageCaption[];

} // namespace e2e
