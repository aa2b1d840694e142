// Tessaro.exe as a process beside a library it must refuse or accept, and a
// second start while a first holds the single-instance name: the messages,
// what each process asks the library, that it lets the library go once, and
// that every road ends with exit code 0.
#include <gtest/gtest.h>

#include <deque>

#include "app/mainwnd.h"
#include "jobs/messages.h"
#include "tests/support/dialogs.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "version.h"

using namespace testsupport;
typedef std::vector<std::string> Lines;

namespace {

const std::string kNone = "none", kMissingExport = "..\\fake-missing";
const char kLoadFailed[] = "7-zip32.dll を読み込めませんでした。 プログラムを終了します。";
const char kAttach[] = "DllMain\tattach", kVersion[] = "SevenZipGetVersion",
           kFreed[] = "DllMain\tdetach\tfree";

// Tessaro.exe in a private folder beside the fake library (or its variant
// without SevenZipGetArchiveType, or none) and the fake's script. Ends what
// it started, so a failed case leaves no instance holding the name.
struct Stage {
    std::string dir;
    std::deque<Process> started;
    Stage(const std::string& library, const std::string& script)
        : dir(StageTessaro("startup",
                           library == kMissingExport ? ExeDir() + "\\" + library : std::string())) {
        if (library == kNone) {
            DeleteFileA(File("7-zip32.dll").c_str());
        }
        FakeReset(script, dir);
    }
    ~Stage() {
        for (Process& p : started) {
            if (p.handle != NULL) { // left running by a failed case
                TerminateProcess(p.handle, 1);
                WaitProcess(p, 5000);
            }
        }
        RemoveTree(dir);
    }
    std::string File(const std::string& leaf) const { return dir + "\\" + leaf; }
    Process& Start(const Lines& args) {
        started.push_back(StartProcess(File("Tessaro.exe"), args, dir));
        return started.back();
    }
    Lines Calls(const std::string& name) const { return FakeCalls(name, dir); }
    // A second instance must not reach these whatever it was given.
    void ExpectNoJobCalls() const {
        for (const char* name : {"SevenZip", "SevenZipCheckArchive", "SevenZipGetArchiveType",
                                 "SevenZipConfigDialog"}) {
            EXPECT_TRUE(Calls(name).empty()) << name;
        }
    }
};

HWND VisibleMainWindow(const Process& p) {
    HWND main = NULL;
    PumpUntil(
        [&] {
            std::vector<HWND> found = WindowsOf(p.id, MAIN_CLASS_NAME, true);
            return (main = found.empty() ? NULL : found[0]) != NULL;
        },
        10000, "the main window");
    return main;
}

void ExpectOneNotice(DialogWatcher& watcher, const char* text) {
    std::vector<SeenDialog> seen = watcher.Seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(Hex(text), Hex(seen[0].text));
    EXPECT_TRUE(seen[0].owner == NULL);
    EXPECT_EQ("OK*", seen[0].form) << "OK alone, no icon";
}

} // namespace

TEST(StartupRefusal, ShowsOneMessageRunsNothingAndExitsWithZero) {
    const Lines checked = {kAttach, kVersion, kFreed};
    auto tooOld = [](const char* v) {
        return std::string("7-zip32.dll のバージョンが ") + v +
               " です。 9.20 以降を使用して下さい。";
    };
    const struct {
        std::string library, script;
        Lines args;
        std::string message;
        Lines log; // the fake's whole log, in order
    } cases[] = {
        {kNone, "", {}, kLoadFailed, {}},
        // An incomplete library is let go at once and never called.
        {kMissingExport, "", {}, kLoadFailed, {kAttach, kFreed}},
        {kMissingExport, "", {"a.zip"}, kLoadFailed, {kAttach, kFreed}},
        {"", "[fake]\nversion=919\n", {}, tooOld("9.19"), checked},
        {"", "[fake]\nversion=0\n", {}, tooOld("0.00"), checked},
        // The version comes before the arguments are looked at.
        {"", "[fake]\nversion=919\n", {"a.zip"}, tooOld("9.19"), checked},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.library + " " + c.script + c.message);
        Stage stage(c.library, c.script);
        DialogWatcher watcher;
        Process& tessaro = stage.Start(c.args);
        DWORD id = tessaro.id;
        EXPECT_EQ(0u, WaitPumping(tessaro));
        ExpectOneNotice(watcher, c.message.c_str());
        EXPECT_EQ(c.log, FakeLog(stage.dir));
        EXPECT_TRUE(WindowsOf(id, MAIN_CLASS_NAME).empty());
    }
}

// The first start accepts the library (9.20 and up, unsigned) and opens its
// window; a second brings that window forward. Each lets the library go
// once, at its end, with exit code 0.
TEST(SecondInstance, BringsTheOpenWindowForwardAndDoesNothingElse) {
    const struct {
        bool minimised;
        const char* script;
        Lines args;
    } cases[] = {
        {false, "[fake]\nversion=920\n", {}},
        {true, "[fake]\nversion=65535\n", {"b.zip"}},
        {true, "[fake]\nrunning=1\n", {}}, // a window to hand over to wins over a busy library
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script + std::to_string(c.minimised) + std::to_string(c.args.size()));
        Stage stage("", c.script);
        WriteBytes(stage.File("b.zip"), "PK");
        DialogWatcher watcher;
        Process& first = stage.Start({});
        HWND main = VisibleMainWindow(first);
        ASSERT_TRUE(main != NULL);
        // A window of the test takes the foreground, so that it has to move.
        HWND bystander = CreateWindowExA(0, "STATIC", "bystander", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                         10, 10, 200, 100, NULL, NULL, NULL, NULL);
        SetForegroundWindow(bystander);
        if (c.minimised) {
            PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            ASSERT_TRUE(PumpUntil([&] { return IsIconic(main) != FALSE; }));
        }
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() != main; }));

        EXPECT_EQ(0u, WaitPumping(stage.Start(c.args)));
        EXPECT_TRUE(PumpUntil([&] { return !IsIconic(main); }));
        EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main; }));
        EXPECT_TRUE(watcher.Seen().empty());
        stage.ExpectNoJobCalls();
        // The window was found, so the library was not even asked.
        EXPECT_TRUE(stage.Calls("SevenZipGetRunning").empty());
        EXPECT_EQ(1u, stage.Calls(kVersion).size());
        DestroyWindow(bystander);
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, WaitPumping(first));
        EXPECT_EQ(Lines({"attach", "attach", "detach\tfree", "detach\tfree"}),
                  stage.Calls("DllMain"));
    }
}

// The name is held by an instance that has no window yet or none at all (a
// command-line job between library runs): only a busy library is told.
TEST(SecondInstance, WithoutAWindowToFindTellsOnlyOfABusyLibrary) {
    for (const char* running : {"0", "1"}) {
        SCOPED_TRACE(running);
        Stage stage("", std::string("[fake]\nrunning=") + running + "\n");
        WriteBytes(stage.File("a.zip"), "PK");
        HANDLE held = CreateMutexA(NULL, TRUE, MAIN_CLASS_NAME);
        ASSERT_TRUE(held != NULL && GetLastError() != ERROR_ALREADY_EXISTS);
        DialogWatcher watcher;
        EXPECT_EQ(0u, WaitPumping(stage.Start({"a.zip"})));
        if (*running == '1') {
            ExpectOneNotice(watcher, MSG_BUSY);
        } else {
            EXPECT_TRUE(watcher.Seen().empty());
        }
        EXPECT_EQ(1u, stage.Calls("SevenZipGetRunning").size());
        EXPECT_TRUE(stage.Calls(kVersion).empty());
        stage.ExpectNoJobCalls();
        // The name is still ours: the second start neither took nor broke it.
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held, 0));
        ReleaseMutex(held);
        ReleaseMutex(held);
        CloseHandle(held);
    }
}

// What the shell shows of the file: the project's version in its record and
// its manifest, its icon (one image of 32 x 32 pixels, 24 bits each), and no
// elevation asked for.
TEST(Resources, VersionIconAndManifest) {
    std::string exe = TessaroExe();
    std::vector<char> record(GetFileVersionInfoSizeA(exe.c_str(), NULL));
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(!record.empty() &&
                GetFileVersionInfoA(exe.c_str(), 0, (DWORD)record.size(), record.data()) &&
                VerQueryValueA(record.data(), "\\", (void**)&fixed, &length));
    const WORD numbers[] = {TESSARO_VERSION_NUMBERS};
    EXPECT_EQ(MAKELONG(numbers[1], numbers[0]), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(numbers[3], numbers[2]), fixed->dwProductVersionLS);
    HMODULE file = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    auto bytes = [&](LPCSTR name, LPCSTR type) {
        HRSRC found = FindResourceA(file, name, type);
        return std::string(found ? (const char*)LockResource(LoadResource(file, found)) : "",
                           found ? SizeofResource(file, found) : 0);
    };
    EXPECT_EQ("00 00 01 00 01 00 20 20 00 00 01 00 18 00",
              Hex(bytes("APP_ICON", RT_GROUP_ICON).substr(0, 14)));
    std::string manifest = bytes(MAKEINTRESOURCEA(1), RT_MANIFEST);
    EXPECT_NE(std::string::npos, manifest.find("version=\"" TESSARO_VERSION_FULL_TEXT "\""));
    EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\""));
    FreeLibrary(file);
}
