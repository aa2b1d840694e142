// A job under test: a private folder, the fake library's script and log, the
// shell's open recorded instead of done, and message boxes answered.
#pragma once
#include "jobs/destination.h"
#include "jobs/dispatch.h"
#include "settings/ini.h"
#include "tests/support/dialogs.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

typedef std::vector<std::string> Lines;

inline std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Replaces a fixed text field of the settings record whole.
template <size_t N> void SetText(char (&field)[N], const char* value) {
    memset(field, 0, N);
    lstrcpynA(field, value, N);
}

// Shell opens recorded by the seam: "<owner> open <folder>" for the plain
// open of a folder, the test's folder written as %T; "odd open" otherwise.
inline Lines g_opens;
inline std::string g_openDir;
inline HINSTANCE WINAPI RecordOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                   LPCSTR directory, INT show) {
    bool plain = verb && !strcmp(verb, "open") && !parameters && !directory && show == 1;
    g_opens.push_back(testsupport::HwndText(owner) + (plain ? " open " : " odd open ") +
                      Replace(file ? file : "(null)", g_openDir, "%T"));
    return (HINSTANCE)33;
}

class JobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = g_openDir = testsupport::MakeTempDir("jobs");
        fakeDir_ = testsupport::MakeTempDir("jobsfake");
        SetEnvironmentVariableA("FAKE7Z_DIR", fakeDir_.c_str());
        Script("[fake]\n");
        SetCurrentDirectoryA(dir_.c_str());
        g_opens.clear();
        g_shellOpen = RecordOpen;
        g_folderLocation = SHGetSpecialFolderLocation;
        SetText(g_ini.DECOMPESS, "SAMEPLACE");
        SetText(g_ini.COMPESS, "SAMEPLACE");
        SetText(g_ini.COMP_FORMAT, "7Z");
        SetText(g_ini.COMP_LEVEL, "LEVEL3");
        SetText(g_ini.COMP_ENC_METHOD, "ZipCrypto");
        g_ini.DECOMP_ALL = g_ini.DECOMP_DIR = g_ini.DECOMP_OPEN = false;
        g_ini.COMP_ENCRYPT = g_ini.COMP_OPEN = false;
        watcher_.reset(new testsupport::DialogWatcher());
    }
    void TearDown() override {
        watcher_.reset();
        SetCurrentDirectoryA(testsupport::ExeDir().c_str());
        testsupport::RemoveTree(dir_);
        testsupport::RemoveTree(fakeDir_);
    }
    // "%T" in text becomes the test's folder.
    std::string T(const std::string& text) const { return Replace(text, "%T", dir_); }
    // Replaces the fake library's script (%T expanded) and empties its log.
    void Script(const std::string& ini) { testsupport::FakeReset(T(ini), fakeDir_); }
    // Makes files (bytes "data") or, with a trailing backslash, folders;
    // names separated by blanks.
    void Make(const std::string& names) {
        std::istringstream words(names);
        for (std::string name; words >> name;) {
            std::string path = T("%T\\" + name);
            name.back() == '\\' ? (void)CreateDirectoryA(path.c_str(), NULL)
                                : (void)testsupport::WriteBytes(path, "data");
        }
    }
    // Runs a command-line job on args (%T expanded).
    void RunArgs(Lines args) {
        args.insert(args.begin(), "Tessaro.exe");
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(&(arg = T(arg))[0]);
        }
        RunArgumentJob((int)argv.size(), argv.data());
    }
    // Drops names (%T expanded) on wnd as the shell hands them over; the job
    // must release the handle (seen unless something reuses it meanwhile, as
    // the folder browser does).
    void Drop(HWND wnd, const Lines& names, bool checkRelease = true) {
        std::string block;
        for (const std::string& name : names) {
            block += T(name) + '\0';
        }
        HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + block.size() + 1);
        ((DROPFILES*)GlobalLock(drop))->pFiles = sizeof(DROPFILES);
        memcpy((char*)GlobalLock(drop) + sizeof(DROPFILES), block.data(), block.size());
        GlobalUnlock(drop);
        GlobalUnlock(drop);
        RunDropJob(wnd, (HDROP)drop);
        EXPECT_TRUE(!checkRelease || GlobalFlags(drop) == GMEM_INVALID_HANDLE) << "released";
    }
    // Commands handed to SevenZip; each call must carry owner and no output buffer.
    Lines Commands(HWND owner = NULL) const {
        Lines commands;
        for (const std::string& call : testsupport::FakeCalls("SevenZip", fakeDir_)) {
            std::string command = call.substr(9, call.rfind("\tnull\t0") - 9);
            EXPECT_EQ(testsupport::HwndText(owner) + "\t" + command + "\tnull\t0", call);
            commands.push_back(Replace(command, dir_, "%T"));
        }
        return commands;
    }
    // Texts of the message boxes seen; each must be owned by owner.
    Lines Messages(HWND owner = NULL) const {
        Lines texts;
        for (const testsupport::SeenDialog& seen : watcher_->Seen()) {
            EXPECT_EQ(owner, seen.owner) << seen.text;
            texts.push_back(seen.text);
        }
        return texts;
    }
    // Everything the job did, in order: the library calls ("busy" for the
    // busy test, "?path" for the archive check, "#path" for the type, each
    // command whole), "!" and each message box's text, "open" and each
    // folder opened; owner must own every one of them.
    std::string Transcript(HWND owner = NULL) const {
        std::string out;
        Lines commands = Commands(owner);
        size_t run = 0;
        for (const std::string& line : testsupport::FakeLog(fakeDir_)) {
            std::string call = Replace(line, dir_, "%T"), args = call.substr(call.find('\t') + 1);
            if (call.compare(0, 21, "SevenZipCheckArchive\t") == 0) {
                out += " ?" + args.substr(0, args.rfind('\t'));
            } else if (call.compare(0, 23, "SevenZipGetArchiveType\t") == 0) {
                out += " #" + args;
            } else if (call.compare(0, 9, "SevenZip\t") == 0 && run < commands.size()) {
                out += " " + commands[run++];
            } else if (call.compare(0, 7, "DllMain") != 0) {
                out += call == "SevenZipGetRunning" ? " busy" : " " + call;
            }
        }
        for (const std::string& text : Messages(owner)) {
            out += " !" + text;
        }
        for (const std::string& open : g_opens) {
            EXPECT_EQ(testsupport::HwndText(owner), open.substr(0, 8));
            out += open.substr(8);
        }
        return out.empty() ? out : out.substr(1);
    }

    std::string dir_, fakeDir_;
    std::unique_ptr<testsupport::DialogWatcher> watcher_;
};
