#include "tests/jobs/harness.h"
#include "jobs/destination.h"
#include "jobs/dispatch.h"
#include "settings/ini.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include <string.h>

using namespace testsupport;

Lines g_opens;
static std::string g_dir;

static std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

static HINSTANCE WINAPI RecordOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                   LPCSTR directory, INT show) {
    bool plain =
        verb && !strcmp(verb, "open") && !parameters && !directory && show == SW_SHOWNORMAL;
    g_opens.push_back(HwndText(owner) + (plain ? " open " : " odd open ") +
                      Replace(file ? file : "(null)", g_dir, "%T"));
    return (HINSTANCE)33;
}

void JobTest::SetUp() {
    dir_ = g_dir = MakeTempDir("jobs");
    fakeDir_ = MakeTempDir("jobsfake");
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
    watcher_.reset(new DialogWatcher());
}

void JobTest::TearDown() {
    watcher_.reset();
    SetCurrentDirectoryA(ExeDir().c_str());
    RemoveTree(dir_);
    RemoveTree(fakeDir_);
}

std::string JobTest::T(const std::string& text) const {
    return Replace(text, "%T", dir_);
}

void JobTest::Script(const std::string& ini) {
    FakeReset(T(ini), fakeDir_);
}

void JobTest::Make(const Lines& names) {
    for (const std::string& name : names) {
        if (name.back() == '\\') {
            CreateDirectoryA(T("%T\\" + name).c_str(), NULL);
        } else {
            WriteBytes(T("%T\\" + name), "data");
        }
    }
}

void JobTest::RunArgs(const Lines& args) {
    Lines expanded = {"Tessaro.exe"};
    for (const std::string& arg : args) {
        expanded.push_back(T(arg));
    }
    std::vector<char*> argv;
    for (std::string& arg : expanded) {
        argv.push_back(&arg[0]);
    }
    RunArgumentJob((int)argv.size(), argv.data());
}

Lines JobTest::Calls() const {
    Lines calls;
    for (const std::string& line : FakeLog(fakeDir_)) {
        if (line.compare(0, 7, "DllMain") != 0) {
            calls.push_back(Replace(line, dir_, "%T"));
        }
    }
    return calls;
}

Lines JobTest::Commands(HWND owner) const {
    Lines commands;
    for (const std::string& call : FakeCalls("SevenZip", fakeDir_)) {
        std::string command = call.substr(9, call.rfind("\tnull\t0") - 9);
        EXPECT_EQ(HwndText(owner) + "\t" + command + "\tnull\t0", call);
        commands.push_back(Replace(command, dir_, "%T"));
    }
    return commands;
}

Lines JobTest::Messages(HWND owner) const {
    Lines texts;
    for (const SeenDialog& seen : watcher_->Seen()) {
        EXPECT_EQ(owner, seen.owner) << seen.text;
        texts.push_back(seen.text);
    }
    return texts;
}

std::string JobTest::Transcript(HWND owner) const {
    std::string out;
    Lines commands = Commands(owner);
    size_t run = 0;
    for (const std::string& call : Calls()) {
        std::string args = call.substr(call.find('\t') + 1);
        if (call.compare(0, 21, "SevenZipCheckArchive\t") == 0) {
            out += " ?" + args.substr(0, args.rfind('\t'));
        } else if (call.compare(0, 23, "SevenZipGetArchiveType\t") == 0) {
            out += " #" + args;
        } else if (call.compare(0, 9, "SevenZip\t") == 0 && run < commands.size()) {
            out += " " + commands[run++];
        } else {
            out += call == "SevenZipGetRunning" ? " busy" : " " + call;
        }
    }
    for (const std::string& text : Messages(owner)) {
        out += " !" + text;
    }
    for (const std::string& open : g_opens) {
        EXPECT_EQ(HwndText(owner), open.substr(0, 8));
        out += open.substr(8);
    }
    return out.empty() ? out : out.substr(1);
}
