// A job under test: a private folder, the fake library's script and log, the
// shell's open recorded instead of done, and message boxes answered.
#pragma once
#include "tests/support/dialogs.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

class JobTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the fake library's script (and empties its log).
    void Script(const std::string& ini);
    // "%T" in text becomes the test's folder.
    std::string T(const std::string& text) const;
    // Log lines of the library calls (no DllMain), the folder written as %T.
    std::vector<std::string> Calls() const;
    // Commands handed to SevenZip, the folder written as %T.
    std::vector<std::string> Commands() const;
    // Owners (as 8 hex digits) of the SevenZip calls.
    std::vector<std::string> CommandOwners() const;
    // Texts of the message boxes seen (each is modal, so all are seen by
    // the time the job returns).
    std::vector<std::string> Messages() const;
    // Runs a command-line job on args (folder written as %T).
    void RunArgs(const std::vector<std::string>& args);
    // Makes a file (or, with a trailing backslash, a folder) under the test folder.
    void Make(const std::string& relative, const std::string& bytes = "data");

    std::string dir_;
    std::string fakeDir_;
    testsupport::DialogWatcher* watcher_ = nullptr;
};

// Shell opens recorded by the seam: "owner|verb|file|params|dir|show", %T for the folder.
extern std::vector<std::string> g_opens;
