#include "tests/jobs/harness.h"
#include "jobs/destination.h"
#include "jobs/dispatch.h"
#include "settings/ini.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include <string.h>

using namespace testsupport;

std::vector<std::string> g_opens;
static std::string g_openDir;

static std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos;
         at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

static HINSTANCE WINAPI RecordOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                   LPCSTR directory, INT show) {
    g_opens.push_back(HwndText(owner) + "|" + (verb ? verb : "(null)") + "|" +
                      Replace(file ? file : "(null)", g_openDir, "%T") + "|" +
                      (parameters ? parameters : "(null)") + "|" +
                      (directory ? directory : "(null)") + "|" + std::to_string(show));
    return (HINSTANCE)33;
}

static void SetText(char* field, size_t size, const char* value) {
    memset(field, 0, size);
    strncpy(field, value, size - 1);
}

void JobTest::SetUp() {
    dir_ = MakeTempDir("jobs");
    fakeDir_ = MakeTempDir("jobsfake");
    ASSERT_FALSE(dir_.empty());
    SetEnvironmentVariableA("FAKE7Z_DIR", fakeDir_.c_str());
    Script("[fake]\n");
    SetCurrentDirectoryA(dir_.c_str());
    g_openDir = dir_;
    g_opens.clear();
    g_shellOpen = RecordOpen;
    g_folderLocation = SHGetSpecialFolderLocation;
    SetText(g_ini.DECOMPESS, sizeof g_ini.DECOMPESS, "SAMEPLACE");
    SetText(g_ini.COMPESS, sizeof g_ini.COMPESS, "SAMEPLACE");
    SetText(g_ini.COMP_FORMAT, sizeof g_ini.COMP_FORMAT, "7Z");
    SetText(g_ini.COMP_LEVEL, sizeof g_ini.COMP_LEVEL, "LEVEL3");
    SetText(g_ini.COMP_ENC_METHOD, sizeof g_ini.COMP_ENC_METHOD, "ZipCrypto");
    g_ini.DECOMP_ALL = g_ini.DECOMP_DIR = g_ini.DECOMP_OPEN = false;
    g_ini.COMP_ENCRYPT = g_ini.COMP_OPEN = false;
    watcher_ = new DialogWatcher();
}

void JobTest::TearDown() {
    delete watcher_;
    SetCurrentDirectoryA(ExeDir().c_str());
    RemoveTree(dir_);
    RemoveTree(fakeDir_);
}

void JobTest::Script(const std::string& ini) {
    FakeReset(T(ini), fakeDir_);
}

std::string JobTest::T(const std::string& text) const {
    return Replace(text, "%T", dir_);
}

std::vector<std::string> JobTest::Calls() const {
    std::vector<std::string> calls;
    for (const std::string& line : FakeLog(fakeDir_)) {
        if (line.compare(0, 7, "DllMain") != 0) {
            calls.push_back(Replace(line, dir_, "%T"));
        }
    }
    return calls;
}

static std::string Field(const std::string& line, int index) {
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = line.find('\t', start) + 1;
    }
    return line.substr(start, line.find('\t', start) - start);
}

std::vector<std::string> JobTest::Commands() const {
    std::vector<std::string> commands;
    for (const std::string& call : FakeCalls("SevenZip", fakeDir_)) {
        commands.push_back(Replace(Field(call, 1), dir_, "%T"));
    }
    return commands;
}

std::vector<std::string> JobTest::CommandOwners() const {
    std::vector<std::string> owners;
    for (const std::string& call : FakeCalls("SevenZip", fakeDir_)) {
        owners.push_back(Field(call, 0));
    }
    return owners;
}

std::vector<std::string> JobTest::Messages() const {
    std::vector<std::string> texts;
    for (const SeenDialog& seen : watcher_->Seen()) {
        texts.push_back(seen.text);
    }
    return texts;
}

void JobTest::RunArgs(const std::vector<std::string>& args) {
    std::vector<std::string> expanded;
    expanded.push_back("Tessaro.exe");
    for (const std::string& arg : args) {
        expanded.push_back(T(arg));
    }
    std::vector<char*> argv;
    for (std::string& arg : expanded) {
        argv.push_back(&arg[0]);
    }
    RunArgumentJob((int)argv.size(), argv.data());
}

void JobTest::Make(const std::string& relative, const std::string& bytes) {
    std::string path = dir_ + "\\" + relative;
    if (!relative.empty() && relative.back() == '\\') {
        CreateDirectoryA(path.c_str(), NULL);
    } else {
        WriteBytes(path, bytes);
    }
}
