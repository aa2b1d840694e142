// Jobs, in process and through Tessaro.exe, against the recording fake
// library: the extract-or-compress rule, both runs with their exact
// commands, destinations, overwriting, every refusal, drops on the form's
// controls, the folder browser and the desktop folder.
#include "app/mainwnd.h"
#include "jobs/compress.h"
#include "jobs/inputs.h"
#include "jobs/messages.h"
#include "jobs/options.h"
#include "res/resource.h"
#include "tests/jobs/harness.h"
#include "tests/support/process.h"
#include <commctrl.h>
#include <shlwapi.h>
#include <atomic>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

using namespace testsupport;

namespace {

HRESULT WINAPI NoDesktop(HWND, int, LPITEMIDLIST* items) {
    *items = NULL;
    return E_FAIL;
}

// Sets options from words: ALL, DIR, OPEN (the DECOMP_ ones) and ENCRYPT on,
// FORMAT=, LEVEL=, METHOD= and COMPESS= texts; NODESKTOP: the shell gives
// none; DROP: the job is a drop on a form showing these options.
void Apply(const std::string& settings) {
    const std::map<std::string, std::function<void(const char*)>> set = {
        {"ALL", [](const char*) { g_ini.DECOMP_ALL = true; }},
        {"DIR", [](const char*) { g_ini.DECOMP_DIR = true; }},
        {"OPEN", [](const char*) { g_ini.DECOMP_OPEN = true; }},
        {"ENCRYPT", [](const char*) { g_ini.COMP_ENCRYPT = true; }},
        {"FORMAT", [](const char* v) { SetText(g_ini.COMP_FORMAT, v); }},
        {"LEVEL", [](const char* v) { SetText(g_ini.COMP_LEVEL, v); }},
        {"METHOD", [](const char* v) { SetText(g_ini.COMP_ENC_METHOD, v); }},
        {"COMPESS", [](const char* v) { SetText(g_ini.COMPESS, v); }},
        {"NODESKTOP", [](const char*) { g_folderLocation = NoDesktop; }},
        {"DROP", [](const char*) {}}};
    std::istringstream words(settings);
    for (std::string word; words >> word;) {
        size_t eq = std::min(word.find('='), word.size());
        set.at(word.substr(0, eq))(word.c_str() + std::min(eq + 1, word.size()));
    }
}

struct JobCase {
    const char* name;
    const char* files; // made first, separated by blanks; "d\" is a folder
    const char* script;
    const char* settings; // options on (ALL, DIR, OPEN: the DECOMP_ ones) and texts (FORMAT=ZIP)
    Lines args;
    std::string transcript;
};

const std::string kLong(MAX_PATH - 3, 'l');
#define A7Z "a -t7z -mhe=off -mx=5 -ms=off -m0=LZMA2 -r0 "
#define N_TXT "busy ?%T\\n.txt" // the calls before a run on %T\n.txt alone
#define ZIP_N " -r0 \"%T\\n.zip\" \"%T\\n.txt\""
#define _7Z_N " -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\" \"%T\\n.txt\""

// clang-format off
const JobCase kJobs[] = {
    // Extract or compress: every input is asked about, also after one was found no archive.
    {"one archive", "a.zip", "", "", {"%T\\a.zip"}, "busy ?%T\\a.zip #%T\\a.zip x \"%T\\a.zip\" -o\"%T\""},
    {"two archives, DECOMP_ALL off", "a.zip b.7z", "", "", {"%T\\a.zip", "%T\\b.7z"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.7z #%T\\b.7z " A7Z "\"%T\\a.7z\" \"%T\\a.zip\" \"%T\\b.7z\""},
    {"two archives, DECOMP_ALL on", "a.zip b.7z", "", "ALL", {"%T\\b.7z", "%T\\a.zip"},
     "busy ?%T\\b.7z #%T\\b.7z ?%T\\a.zip #%T\\a.zip x \"%T\\b.7z\" -o\"%T\" x \"%T\\a.zip\" -o\"%T\""},
    {"duplicates kept", "a.zip", "", "ALL", {"%T\\a.zip", "%T\\a.zip"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\a.zip #%T\\a.zip x \"%T\\a.zip\" -o\"%T\" x \"%T\\a.zip\" -o\"%T\""},
    {"a file, then an archive", "a.zip n.txt", "", "ALL", {"%T\\n.txt", "%T\\a.zip"},
     "busy ?%T\\n.txt ?%T\\a.zip #%T\\a.zip " A7Z "\"%T\\n.7z\" \"%T\\n.txt\" \"%T\\a.zip\""},
    {"an archive and a folder", "a.zip d\\", "", "ALL", {"%T\\a.zip", "%T\\d"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\d " A7Z "\"%T\\a.7z\" \"%T\\a.zip\" \"%T\\d\""},
    {"type code 3", "a.zip", "[type]\n%T\\a.zip=3\n", "ALL", {"%T\\a.zip"},
     "busy ?%T\\a.zip #%T\\a.zip " A7Z "\"%T\\a.7z\" \"%T\\a.zip\""},
    {"busy library", "a.zip", "[fake]\nrunning=1\n", "ALL", {"%T\\a.zip"}, "busy !" MSG_BUSY},
    {"no inputs", "", "", "ALL", {}, "busy"},
    // A folder per archive, opened after each success.
    {"folder exists already", "a.zip a\\", "", "ALL DIR OPEN", {"%T\\a.zip"},
     "busy ?%T\\a.zip #%T\\a.zip x \"%T\\a.zip\" -o\"%T\\a\" open %T\\a\\"},
    {"a file in the way ends the job", "a.zip b.zip b", "", "ALL DIR OPEN", {"%T\\a.zip", "%T\\b.zip", "%T\\a.zip"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.zip #%T\\b.zip ?%T\\a.zip #%T\\a.zip x \"%T\\a.zip\" -o\"%T\\a\" !" MSG_CANNOT_CREATE_FOLDER " open %T\\a\\"},
    {"failure on the second of three", "a.zip b.7z c.zip", "[fake]\nresults=0,0x8102,0\n", "ALL DIR OPEN",
     {"%T\\a.zip", "%T\\b.7z", "%T\\c.zip"}, "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.7z #%T\\b.7z ?%T\\c.zip #%T\\c.zip "
     "x \"%T\\a.zip\" -o\"%T\\a\" x \"%T\\b.7z\" -o\"%T\\b\" x \"%T\\c.zip\" -o\"%T\\c\" open %T\\a\\ open %T\\c\\"},
    {"the same base name twice", "a.zip a.7z", "", "ALL DIR OPEN", {"%T\\a.zip", "%T\\a.7z"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\a.7z #%T\\a.7z x \"%T\\a.zip\" -o\"%T\\a\" x \"%T\\a.7z\" -o\"%T\\a\" open %T\\a\\ open %T\\a\\"},
    {"destination not a directory", "", "[check]\n%T\\gone\\a.zip=1\n[type]\n%T\\gone\\a.zip=1\n", "ALL DIR OPEN",
     {"%T\\gone\\a.zip"}, "busy ?%T\\gone\\a.zip #%T\\gone\\a.zip !" MSG_CANNOT_CREATE_FOLDER},
    {"last full stop and trail byte 0x5C", "backup.2011.zip 表.7z", "", "ALL DIR OPEN", {"%T\\backup.2011.zip", "%T\\表.7z"},
     "busy ?%T\\backup.2011.zip #%T\\backup.2011.zip ?%T\\表.7z #%T\\表.7z x \"%T\\backup.2011.zip\" -o\"%T\\backup.2011\" "
     "x \"%T\\表.7z\" -o\"%T\\表\" open %T\\backup.2011\\ open %T\\表\\"},
    // A warning is no success.
    {"one destination", "a.zip b.zip", "[fake]\nresults=0x8101,0\n", "ALL OPEN", {"%T\\a.zip", "%T\\b.zip"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.zip #%T\\b.zip x \"%T\\a.zip\" -o\"%T\" x \"%T\\b.zip\" -o\"%T\" open %T\\"},
    // Stored texts compare exactly: another case or a value outside the set runs nothing.
    {"level in another case", "n.txt", "", "FORMAT=ZIP LEVEL=level1", {"%T\\n.txt"}, N_TXT " a -tzip " ZIP_N},
    {"format outside the set", "n.txt", "", "FORMAT=RAR", {"%T\\n.txt"}, N_TXT},
    {"format in another case", "n.txt", "", "FORMAT=zip", {"%T\\n.txt"}, N_TXT},
    {"method outside the set", "n.txt", "", "FORMAT=ZIP ENCRYPT METHOD=DES", {"%T\\n.txt"}, N_TXT},
    // A bare name lands in the working folder and cannot become a switch.
    {"bare name with a dash", "-sdel.txt", "", "", {"-sdel.txt"}, "busy ?-sdel.txt " A7Z "\"%T\\-sdel.7z\" \".\\-sdel.txt\""},
    // Drops: the options as the form shows them, the form owning every call, message and open.
    {"drop, DECOMP_ALL off", "a.zip b.zip", "", "DROP", {"%T\\a.zip", "%T\\b.zip"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.zip #%T\\b.zip " A7Z "\"%T\\a.7z\" \"%T\\a.zip\" \"%T\\b.zip\""},
    {"drop", "n.txt", "", "DROP FORMAT=ZIP LEVEL=LEVEL0", {"%T\\n.txt"}, N_TXT " a -tzip -mx=0" ZIP_N},
    {"drop", "n.txt", "", "DROP FORMAT=ZIP LEVEL=LEVEL1 ENCRYPT METHOD=ZipCrypto", {"%T\\n.txt"}, N_TXT " a -tzip -p -mem=ZipCrypto -mx=1" ZIP_N},
    {"drop", "n.txt", "", "DROP FORMAT=ZIP LEVEL=LEVEL2 ENCRYPT METHOD=AES128", {"%T\\n.txt"}, N_TXT " a -tzip -p -mem=AES128 -mx=3" ZIP_N},
    {"drop", "n.txt", "", "DROP FORMAT=ZIP LEVEL=LEVEL5 ENCRYPT METHOD=AES256", {"%T\\n.txt"}, N_TXT " a -tzip -p -mem=AES256 -mx=9" ZIP_N},
    {"drop", "n.txt", "", "DROP ENCRYPT", {"%T\\n.txt"}, N_TXT " a -t7z -p -mhe=on -mx=5" _7Z_N},
    {"drop", "n.txt", "", "DROP LEVEL=LEVEL4 METHOD=", {"%T\\n.txt"}, N_TXT " a -t7z -mhe=off -mx=7" _7Z_N},
    {"drop", "n.txt", "", "DROP LEVEL=", {"%T\\n.txt"}, N_TXT " a -t7z -mhe=off " _7Z_N},
    {"drop", "n.txt", "", "DROP FORMAT=", {"%T\\n.txt"}, N_TXT},
    {"drop", "n.txt", "", "DROP FORMAT=ZIP ENCRYPT METHOD=", {"%T\\n.txt"}, N_TXT},
    {"drop, folder per archive", "a.zip b.zip", "[fake]\nresults=0,0x8102\n", "DROP ALL DIR OPEN", {"%T\\a.zip", "%T\\b.zip"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.zip #%T\\b.zip x \"%T\\a.zip\" -o\"%T\\a\" x \"%T\\b.zip\" -o\"%T\\b\" open %T\\a\\"},
    {"drop on a busy library", "n.txt", "[fake]\nrunning=1\n", "DROP", {"%T\\n.txt"}, "busy !" MSG_BUSY},
    {"drop of a path over 260 bytes", "n.txt", "", "DROP", {"%T\\n.txt", "C:\\" + kLong + "x"}, "busy !" MSG_PATH_TOO_LONG},
    // Refusals: nothing cut, nothing injected, a message with no owner.
    {"no desktop folder", "n.txt", "", "COMPESS=DESKTOP NODESKTOP", {"%T\\n.txt"}, N_TXT " !" MSG_NO_DESKTOP},
    {"argument over 260 bytes", "", "", "", {"C:\\" + kLong + "x", "%T\\n.txt"}, "busy !" MSG_PATH_TOO_LONG},
    {"argument of 260 bytes whose archive path is longer", "", "", "", {"C:\\" + kLong},
     "busy ?C:\\" + kLong + " !" MSG_PATH_TOO_LONG},
    {"archive path over 260 bytes", "", "", "", {"C:\\d\\" + kLong.substr(2)},
     "busy ?C:\\d\\" + kLong.substr(2) + " !" MSG_PATH_TOO_LONG},
    {"directory part over 256 bytes", "", "", "", {"C:\\" + kLong.substr(2) + "\\x"},
     "busy ?C:\\" + kLong.substr(2) + "\\x !" MSG_PATH_TOO_LONG},
    {"double quote", "n.txt", "", "", {"%T\\n.txt", "%T\\a\" -sdel \"b"}, "busy !" MSG_BAD_CHAR},
};
// clang-format on

void PrintTo(const JobCase& c, std::ostream* out) {
    *out << c.name;
}

class JobRunTest : public JobTest, public ::testing::WithParamInterface<JobCase> {};

TEST_P(JobRunTest, DoesExactlyThis) {
    const JobCase& c = GetParam();
    Make(c.files);
    Script(c.script);
    Apply(c.settings);
    HWND form = NULL;
    if (strstr(c.settings, "DROP")) { // the record keeps the built-in options, unlike the form
        form = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 440, 260, NULL, NULL, NULL, NULL);
        CreateControls(form);
        ApplySettingsToControls();
        g_ini.LoadSettings();
        Drop(form, c.args);
    } else {
        RunArgs(c.args);
    }
    EXPECT_EQ(c.transcript, Transcript(form)) << c.name << ": " << c.settings;
    DestroyWindow(form);
    for (size_t at = 0; (at = c.transcript.find("-o\"", at)) != std::string::npos; at += 3) {
        size_t end = c.transcript.find('"', at + 3);
        EXPECT_TRUE(DirExists(T(c.transcript.substr(at + 3, end - at - 3)))) << "made";
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, JobRunTest, ::testing::ValuesIn(kJobs));

struct OverwriteCase {
    const char* name;
    int answer;
    const char* script;
    bool held;         // the old archive is open, so it cannot be set aside
    const char* after; // the archive's bytes after the job
    const char* transcript;
};

#define ZIP_RUN N_TXT " a -tzip -mx=5" ZIP_N " !" MSG_OVERWRITE
// clang-format off
const OverwriteCase kOverwrites[] = {
    {"No", IDNO, "", false, "OLD", N_TXT " !" MSG_OVERWRITE},
    {"Yes and success", IDYES, "[fake]\nwrite_file=%T\\n.zip\nwrite_text=NEW\n", false, "NEW", ZIP_RUN " open %T\\"},
    {"Yes and failure", IDYES, "[fake]\nresults=0x8102\nwrite_file=%T\\n.zip\nwrite_text=PART\n", false, "OLD", ZIP_RUN},
    {"Yes, but held open", IDYES, "", true, "OLD", N_TXT " !" MSG_OVERWRITE " !" MSG_CANNOT_OVERWRITE},
};
// clang-format on

void PrintTo(const OverwriteCase& c, std::ostream* out) {
    *out << c.name;
}

class OverwriteTest : public JobTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, ReplacesTheArchiveOnlyOnSuccess) {
    const OverwriteCase& c = GetParam();
    Make("n.txt");
    WriteBytes(T("%T\\n.zip"), "OLD");
    Script(c.script);
    SetText(g_ini.COMP_FORMAT, "ZIP");
    g_ini.COMP_OPEN = true;
    HANDLE held = c.held ? CreateFileA(T("%T\\n.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                       OPEN_EXISTING, 0, NULL)
                         : INVALID_HANDLE_VALUE;
    watcher_->QueueAnswers({c.answer});
    RunArgs({"%T\\n.txt"});
    CloseHandle(held);
    EXPECT_EQ(c.transcript, Transcript());
    EXPECT_TRUE(watcher_->Seen()[0].hasYesNo);
    EXPECT_EQ(c.after, ReadBytes(T("%T\\n.zip")));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(T("%T\\*").c_str(), &found);
    int entries = 1;
    while (FindNextFileA(search, &found)) {
        ++entries;
    }
    FindClose(search);
    EXPECT_EQ(4, entries) << "., .., n.txt and n.zip: nothing left aside";
}

INSTANTIATE_TEST_SUITE_P(Jobs, OverwriteTest, ::testing::ValuesIn(kOverwrites));

TEST_F(JobTest, PerArchiveFolderTooLongEndsTheJobAtThatArchive) {
    // The first archive's folder is deep; the second's folder inside it
    // would pass 260 bytes.
    std::string deep = dir_;
    while (deep.size() < 240) {
        deep += "\\dddddddddd";
        CreateDirectoryA(deep.c_str(), NULL);
    }
    WriteBytes(deep + "\\a.zip", "zip");
    Make("b23456789012345678901.zip");
    g_ini.DECOMP_ALL = g_ini.DECOMP_DIR = true;
    RunArgs({deep + "\\a.zip", "%T\\b23456789012345678901.zip"});
    EXPECT_EQ(1u, Commands().size());
    EXPECT_EQ(Lines{MSG_CANNOT_CREATE_FOLDER}, Messages());
}

TEST_F(JobTest, CommandBufferThatCannotBeHadRunsNothing) {
    if (sizeof(size_t) > 4) {
        GTEST_SKIP() << "a 64-bit build has the address range for any count of inputs";
    }
    // Only the first entry is read before the command buffer is sized.
    PathEntry first = {"C:\\in\\n.txt"};
    for (int count : {10000000, 20000000}) { // 2.6 GB; past the address range
        InputList inputs = {&first, count, count};
        JobOptions options = OptionsFromSettings(&g_ini);
        RunCompression(&inputs, dir_.c_str(), &options, NULL);
    }
    EXPECT_EQ("", Transcript());
}

// Tessaro.exe started with paths: one job with the stored settings, no
// window, exit code 0; the fake library's folder is inherited.
TEST_F(JobTest, TessaroExeRunsOneJobWithTheStoredSettings) {
    std::string stage = StageTessaro("jobsexe");
    char user[256] = {0};
    DWORD size = sizeof user;
    GetUserNameA(user, &size);
    WriteBytes(stage + "\\Tessaro_" + user + ".ini",
               "[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nCOMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL2\r\n"
               "COMP_ENCRYPT=TRUE\r\nCOMP_ENC_METHOD=AES256\r\nCOMP_OPEN=FALSE\r\n");
    Make("report.final.docx 表.txt");
    EXPECT_EQ(0u,
              RunProcess(stage + "\\Tessaro.exe", {T("%T\\report.final.docx"), T("%T\\表.txt")}));
    EXPECT_EQ(Lines{"a -tzip -p -mem=AES256 -mx=3 -r0 \"%T\\report.final.zip\" "
                    "\"%T\\report.final.docx\" \"%T\\表.txt\""},
              Commands());
    EXPECT_EQ(Lines(), Messages());
    RemoveTree(stage);
}

// The shell's side: the folder browser, driven from a thread, and the
// prefix's real desktop folder.

enum BrowseAction { PICK_PATH, PICK_NO_PATH, CANCEL };

// Answers every folder browser that appears: picks a folder and presses OK,
// picks "My Computer" (no file-system path), or cancels.
struct BrowserDriver {
    BrowserDriver(BrowseAction a, const std::string& p) : action(a), path(p) {
        leaf = PathFindFileNameA(path.c_str());
        if (leaf.size() == 3 && leaf[1] == ':') { // a drive root shows as "C:"
            leaf.resize(2);
        }
        thread = std::thread([this] { Run(); });
    }
    ~BrowserDriver() {
        stop = true;
        thread.join();
    }
    // The tree fills slowly the first time: true once the selection has
    // moved off the root to an item named like the wanted folder.
    bool Selected(HWND browser) {
        LPITEMIDLIST computer = NULL;
        if (action == PICK_PATH) {
            SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, (LPARAM)path.c_str());
        } else {
            SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &computer);
            SendMessageA(browser, BFFM_SETSELECTIONA, FALSE, (LPARAM)computer);
            CoTaskMemFree(computer);
        }
        HWND tree = GetDlgItem(browser, 14145);
        char text[MAX_PATH] = {0};
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetSelection(tree);
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&item);
        return item.hItem && item.hItem != TreeView_GetRoot(tree) &&
               (action != PICK_PATH || strstr(text, leaf.c_str()));
    }
    void Run() {
        for (HWND handled = NULL; !stop; Sleep(30)) {
            HWND browser = FindWindowA("#32770", "フォルダーの参照");
            if (browser == NULL || browser == handled || !IsWindowVisible(browser)) {
                continue;
            }
            handled = browser;
            owner = GetWindow(browser, GW_OWNER);
            titleShown = FindWindowExA(browser, NULL, NULL, "フォルダを選択してください") != NULL;
            ++seen;
            for (int i = 0; action != CANCEL && i < 100 && !stop && !Selected(browser); ++i) {
                Sleep(100);
            }
            PostMessageA(browser, WM_COMMAND, action == CANCEL ? IDCANCEL : IDOK, 0);
        }
    }
    BrowseAction action;
    std::string path, leaf;
    std::atomic<bool> stop{false}, titleShown{false};
    std::atomic<int> seen{0};
    std::atomic<HWND> owner{NULL};
    std::thread thread;
};

struct BrowseCase {
    BrowseAction action;
    const char* pick;
    Lines commands, messages;
};

// clang-format off
const BrowseCase kBrowses[] = {
    {PICK_PATH, "%T\\out", {"x \"%T\\a.zip\" -o\"%T\\out\"", "x \"%T\\b.zip\" -o\"%T\\out\""}, {}},
    {PICK_PATH, "%T\\ソ", {"x \"%T\\a.zip\" -o\"%T\\ソ\"", "x \"%T\\b.zip\" -o\"%T\\ソ\""}, {}}, // ends in a trail byte 0x5C
    {PICK_PATH, "C:\\", {"x \"%T\\a.zip\" -o\"C:\"", "x \"%T\\b.zip\" -o\"C:\""}, {}},
    {CANCEL, "", {}, {MSG_CANCELLED}},
    {PICK_NO_PATH, "", {}, {MSG_NO_FOLDER}},
};
// clang-format on

class BrowseTest : public JobTest, public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(BrowseTest, BrowserIsAskedOncePerJob) {
    const BrowseCase& c = GetParam();
    Make("a.zip b.zip out\\ ソ\\");
    SetText(g_ini.DECOMPESS, "DECIDE");
    g_ini.DECOMP_ALL = true;
    BrowserDriver driver(c.action, T(c.pick));
    RunArgs({"%T\\a.zip", "%T\\b.zip"});
    EXPECT_EQ(1, driver.seen.load());
    EXPECT_TRUE(driver.titleShown);
    EXPECT_EQ((HWND)NULL, driver.owner.load());
    EXPECT_EQ(c.commands, Commands());
    EXPECT_EQ(c.messages, Messages());
}

INSTANTIATE_TEST_SUITE_P(Jobs, BrowseTest, ::testing::ValuesIn(kBrowses));

// Results on the prefix's real desktop folder are not opened; the folder is
// compared case-sensitively.
TEST_F(JobTest, DestinationOnTheDesktopIsNotOpened) {
    const std::string desktop = GetDesktopFolder(), archive = desktop + "\\jobs-test.zip";
    ASSERT_FALSE(desktop.empty());
    std::string lower = archive;
    CharLowerA(&lower[0]);
    ASSERT_NE(lower, archive);
    const std::string lowerDir = lower.substr(0, lower.rfind('\\'));
    WriteBytes(archive, "zip");
    Make("n.txt");
    g_ini.DECOMP_OPEN = g_ini.COMP_OPEN = true;
    RunArgs({archive});
    RunArgs({lower});
    g_ini.DECOMP_DIR = true;
    RunArgs({archive});
    SetText(g_ini.COMPESS, "DESKTOP");
    RunArgs({"%T\\n.txt"});
    EXPECT_EQ(Lines({"x \"" + archive + "\" -o\"" + desktop + "\"",
                     "x \"" + lower + "\" -o\"" + lowerDir + "\"",
                     "x \"" + archive + "\" -o\"" + desktop + "\\jobs-test\"",
                     "a -t7z -mhe=off -mx=5 -ms=off -m0=LZMA2 -r0 \"" + desktop +
                         "\\n.7z\" \"%T\\n.txt\""}),
              Commands());
    EXPECT_EQ(
        Lines({"00000000 open " + lowerDir + "\\", "00000000 open " + desktop + "\\jobs-test\\"}),
        g_opens);
    DeleteFileA(archive.c_str());
    RemoveDirectoryA((desktop + "\\jobs-test").c_str());
}

TEST_F(JobTest, BrowserOfADropIsOwnedByTheForm) {
    Make("n.txt out\\");
    HWND form = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 440, 260, NULL, NULL, NULL, NULL);
    CreateControls(form);
    SendMessageA(ControlHandle(IDC_COMP_DECIDE), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(ControlHandle(IDC_COMP_FORMAT), CB_SETCURSEL, 1, 0);
    BrowserDriver driver(PICK_PATH, T("%T\\out"));
    Drop(form, {"%T\\n.txt"}, false);
    EXPECT_EQ(form, driver.owner.load());
    EXPECT_EQ(Lines{"a -t7z -mhe=off  -ms=off -m0=LZMA2 -r0 \"%T\\out\\n.7z\" \"%T\\n.txt\""},
              Commands(form));
    DestroyWindow(form);
}

} // namespace
