// A job under test: a private folder, the fake library's script and log, the
// shell's open recorded instead of done, and message boxes answered.
#pragma once
#include "tests/support/dialogs.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string.h>
#include <string>
#include <vector>

typedef std::vector<std::string> Lines;

// Replaces a fixed text field of the settings record whole.
template <size_t N> void SetText(char (&field)[N], const char* value) {
    memset(field, 0, N);
    lstrcpynA(field, value, N);
}

class JobTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // "%T" in text becomes the test's folder.
    std::string T(const std::string& text) const;
    // Replaces the fake library's script (%T expanded) and empties its log.
    void Script(const std::string& ini);
    // Makes files (bytes "data") or, with a trailing backslash, folders.
    void Make(const Lines& names);
    // Runs a command-line job on args (%T expanded).
    void RunArgs(const Lines& args);
    // Library calls logged, no DllMain, the folder written as %T.
    Lines Calls() const;
    // Commands handed to SevenZip; each call must carry owner and no output buffer.
    Lines Commands(HWND owner = NULL) const;
    // Texts of the message boxes seen; each must be owned by owner.
    Lines Messages(HWND owner = NULL) const;
    // Everything the job did, in order: the library calls ("busy" for the
    // busy test, "?path" for the archive check, "#path" for the type, each
    // command whole), "!" and each message box's text, "open" and each folder
    // opened; the owner of each must be owner.
    std::string Transcript(HWND owner = NULL) const;

    std::string dir_, fakeDir_;
    std::unique_ptr<testsupport::DialogWatcher> watcher_;
};

// Shell opens recorded by the seam: "<owner> open <folder>" for the plain
// open of a folder, %T for the test's folder; "odd open" for anything else.
extern Lines g_opens;
