// Jobs against the recording fake library: the extract-or-compress rule,
// both runs with their exact commands, destinations, overwriting, every
// refusal, drops on the form's controls, the folder browser and the desktop.
#include "jobs/destination.h"
#include "jobs/dispatch.h"
#include "jobs/messages.h"
#include "jobs/options.h"
#include "tests/support/dialogs.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include "tests/window/main_window.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <memory>
#include <sstream>

using namespace testsupport;
using windowtest::CloseMainWindow;
using windowtest::OpenMainWindow;
typedef std::vector<std::string> Lines;

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Shell opens recorded by the seam: "<owner> open <folder>" for the plain
// open of a folder, the test's folder written as %T; "odd open" otherwise.
Lines g_opens;
std::string g_dir;
HINSTANCE WINAPI RecordOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                            LPCSTR directory, INT show) {
    bool plain = !strcmp(verb, "open") && !parameters && !directory && show == SW_SHOWNORMAL;
    g_opens.push_back(HwndText(owner) + (plain ? " open " : " odd open ") +
                      Replace(file, g_dir, "%T"));
    return (HINSTANCE)33;
}

HRESULT WINAPI NoDesktop(HWND, int, LPITEMIDLIST* items) {
    *items = NULL;
    return E_FAIL;
}

// A job under test: a private folder, the fake library's script and log, the
// shell's open recorded instead of done, and message boxes answered.
class JobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = g_dir = MakeTempDir("jobs");
        fakeDir_ = MakeTempDir("jobsfake");
        SetEnvironmentVariableA("FAKE7Z_DIR", fakeDir_.c_str());
        Script("[fake]\n");
        SetCurrentDirectoryA(dir_.c_str());
        g_opens.clear();
        g_shellOpen = RecordOpen;
        g_folderLocation = SHGetSpecialFolderLocation;
        g_ini.iniPath[0] = '\0'; // no settings file: loading gives the built-in options
        watcher_.reset(new DialogWatcher());
    }
    void TearDown() override {
        watcher_.reset();
        SetCurrentDirectoryA(ExeDir().c_str());
        RemoveTree(dir_);
        RemoveTree(fakeDir_);
    }
    // "%T" in text becomes the test's folder.
    std::string T(const std::string& text) const { return Replace(text, "%T", dir_); }
    // Replaces the fake library's script (%T expanded) and empties its log.
    void Script(const std::string& ini) { FakeReset(T(ini), fakeDir_); }
    // Makes files (bytes "data") or, with a trailing backslash, folders.
    void Make(const std::string& names) {
        std::istringstream words(names);
        for (std::string name; words >> name;) {
            std::string path = T("%T\\" + name);
            name.back() == '\\' ? (void)CreateDirectoryA(path.c_str(), NULL)
                                : (void)WriteBytes(path, "data");
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
    // Drops names (%T expanded) on the main window showing the record's
    // options, as the shell hands them over; the job must release the handle
    // and leave the record (back at its built-in options) alone.
    HWND Drop(const Lines& names) {
        HWND form = OpenMainWindow();
        SetOptions();
        std::string block;
        for (const std::string& name : names) {
            block += T(name) + '\0';
        }
        HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + block.size() + 1);
        ((DROPFILES*)GlobalLock(drop))->pFiles = sizeof(DROPFILES);
        memcpy((char*)GlobalLock(drop) + sizeof(DROPFILES), block.data(), block.size());
        GlobalUnlock(drop);
        GlobalUnlock(drop);
        SendMessageA(form, WM_DROPFILES, (WPARAM)drop, 0);
        EXPECT_EQ((UINT)GMEM_INVALID_HANDLE, GlobalFlags(drop)) << "the drop was not released";
        EXPECT_EQ("", Options());
        return form;
    }
    // Commands handed to SevenZip; each call must carry owner and no output buffer.
    Lines Commands(HWND owner = NULL) const {
        Lines commands;
        for (const std::string& call : FakeCalls("SevenZip", fakeDir_)) {
            std::string command = call.substr(9, call.rfind("\tnull\t0") - 9);
            EXPECT_EQ(HwndText(owner) + "\t" + command + "\tnull\t0", call);
            commands.push_back(Replace(command, dir_, "%T"));
        }
        return commands;
    }
    // Everything the job did, in order: the library calls ("busy" for the
    // busy test, "?path" for the archive check, "#path" for the type, each
    // command whole), "!" and each message box's text, "open" and each
    // folder opened. owner must own every one of them, and every message
    // is OK alone, no icon, or the question with Yes as its default.
    std::string Transcript(HWND owner = NULL) const {
        std::string out;
        Lines commands = Commands(owner);
        size_t run = 0;
        for (const std::string& line : FakeLog(fakeDir_)) {
            std::string call = Replace(line, dir_, "%T"), args = call.substr(call.find('\t') + 1);
            if (call.compare(0, 21, "SevenZipCheckArchive\t") == 0) {
                out += " ?" + args.substr(0, args.rfind('\t'));
            } else if (call.compare(0, 23, "SevenZipGetArchiveType\t") == 0) {
                out += " #" + args;
            } else if (call.compare(0, 9, "SevenZip\t") == 0 && run < commands.size()) {
                out += " " + commands[run++];
            } else if (call == "SevenZipGetRunning") {
                out += " busy";
            }
        }
        for (const SeenDialog& seen : watcher_->Seen()) {
            EXPECT_EQ(owner, seen.owner) << seen.text;
            EXPECT_EQ(seen.text == MSG_OVERWRITE ? "Yes* No" : "OK*", seen.form) << seen.text;
            out += " !" + Replace(seen.text, dir_, "%T");
        }
        for (const std::string& open : g_opens) {
            EXPECT_EQ(HwndText(owner), open.substr(0, 8));
            out += open.substr(8);
        }
        return out.empty() ? out : out.substr(1);
    }

    std::string dir_, fakeDir_;
    std::unique_ptr<DialogWatcher> watcher_;
};

struct JobCase {
    const char* name;
    const char* files; // made first, separated by blanks; "d\" is a folder
    const char* script;
    const char* options; // the record's options (as SetOptions takes them)
    bool drop;           // dropped on a form showing them, else a command-line job
    Lines args;
    std::string transcript;
};

void PrintTo(const JobCase& c, std::ostream* out) {
    *out << c.name << " " << c.options;
}

const std::string kLong(MAX_PATH - 3, 'l');
#define A7Z "a -t7z -mhe=off -mx=5 -ms=off -m0=LZMA2 -r0 "
#define N_TXT "busy ?%T\\n.txt" // the calls before a run on %T\n.txt alone
#define ZIP_N " -r0 \"%T\\n.zip\" \"%T\\n.txt\""
#define _7Z_N " -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\" \"%T\\n.txt\""
// The options of a case: each destination SAMEPLACE, 7Z at LEVEL3, nothing
// on but what the case names.
#define PLAIN                                                                                      \
    "DECOMPESS=SAMEPLACE COMPESS=SAMEPLACE DECOMP_ALL=FALSE DECOMP_DIR=FALSE DECOMP_OPEN=FALSE "   \
    "COMP_ENCRYPT=FALSE COMP_OPEN=FALSE "
#define ALL PLAIN "DECOMP_ALL=TRUE "
#define ALL_DIR_OPEN ALL "DECOMP_DIR=TRUE DECOMP_OPEN=TRUE"

// clang-format off
const JobCase kJobs[] = {
    // Extract or compress: every input is asked about, also after one was found no archive.
    {"one archive", "a.zip", "", PLAIN, false, {"%T\\a.zip"}, "busy ?%T\\a.zip #%T\\a.zip x \"%T\\a.zip\" -o\"%T\""},
    {"two archives, DECOMP_ALL off", "a.zip b.7z", "", PLAIN, false, {"%T\\a.zip", "%T\\b.7z"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.7z #%T\\b.7z " A7Z "\"%T\\a.7z\" \"%T\\a.zip\" \"%T\\b.7z\""},
    {"two archives, DECOMP_ALL on", "a.zip b.7z", "", ALL, false, {"%T\\b.7z", "%T\\a.zip"},
     "busy ?%T\\b.7z #%T\\b.7z ?%T\\a.zip #%T\\a.zip x \"%T\\b.7z\" -o\"%T\" x \"%T\\a.zip\" -o\"%T\""},
    {"a file, then an archive", "a.zip n.txt", "", ALL, false, {"%T\\n.txt", "%T\\a.zip"},
     "busy ?%T\\n.txt ?%T\\a.zip #%T\\a.zip " A7Z "\"%T\\n.7z\" \"%T\\n.txt\" \"%T\\a.zip\""},
    {"an archive and a folder", "a.zip d\\", "", ALL, false, {"%T\\a.zip", "%T\\d"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\d " A7Z "\"%T\\a.7z\" \"%T\\a.zip\" \"%T\\d\""},
    {"type code 3", "a.zip", "[type]\n%T\\a.zip=3\n", ALL, false, {"%T\\a.zip"},
     "busy ?%T\\a.zip #%T\\a.zip " A7Z "\"%T\\a.7z\" \"%T\\a.zip\""},
    {"busy library", "a.zip", "[fake]\nrunning=1\n", ALL, false, {"%T\\a.zip"}, "busy !" MSG_BUSY},
    {"no inputs", "", "", ALL, false, {}, "busy"},
    // A folder per archive, opened after each success.
    {"folder exists already", "a.zip a\\", "", ALL_DIR_OPEN, false, {"%T\\a.zip"},
     "busy ?%T\\a.zip #%T\\a.zip x \"%T\\a.zip\" -o\"%T\\a\" open %T\\a\\"},
    {"a file in the way ends the job", "a.zip b.zip b", "", ALL_DIR_OPEN, false, {"%T\\a.zip", "%T\\b.zip", "%T\\a.zip"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.zip #%T\\b.zip ?%T\\a.zip #%T\\a.zip x \"%T\\a.zip\" -o\"%T\\a\" !" MSG_CANNOT_CREATE_FOLDER " open %T\\a\\"},
    {"failure on the second of three", "a.zip b.7z c.zip", "[fake]\nresults=0,0x8102,0\n", ALL_DIR_OPEN, false,
     {"%T\\a.zip", "%T\\b.7z", "%T\\c.zip"}, "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.7z #%T\\b.7z ?%T\\c.zip #%T\\c.zip "
     "x \"%T\\a.zip\" -o\"%T\\a\" x \"%T\\b.7z\" -o\"%T\\b\" x \"%T\\c.zip\" -o\"%T\\c\" open %T\\a\\ open %T\\c\\"},
    {"destination not a directory", "", "[check]\n%T\\gone\\a.zip=1\n[type]\n%T\\gone\\a.zip=1\n", ALL_DIR_OPEN, false,
     {"%T\\gone\\a.zip"}, "busy ?%T\\gone\\a.zip #%T\\gone\\a.zip !" MSG_CANNOT_CREATE_FOLDER},
    {"last full stop and trail byte 0x5C", "backup.2011.zip 表.7z", "", ALL_DIR_OPEN, false, {"%T\\backup.2011.zip", "%T\\表.7z"},
     "busy ?%T\\backup.2011.zip #%T\\backup.2011.zip ?%T\\表.7z #%T\\表.7z x \"%T\\backup.2011.zip\" -o\"%T\\backup.2011\" "
     "x \"%T\\表.7z\" -o\"%T\\表\" open %T\\backup.2011\\ open %T\\表\\"},
    // A warning is no success.
    {"one destination", "a.zip b.zip", "[fake]\nresults=0x8101,0\n", ALL "DECOMP_OPEN=TRUE", false,
     {"%T\\a.zip", "%T\\b.zip"}, "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.zip #%T\\b.zip x \"%T\\a.zip\" -o\"%T\" x \"%T\\b.zip\" -o\"%T\" open %T\\"},
    // Stored texts compare exactly: another case or a value outside the set runs nothing.
    {"level in another case", "n.txt", "", PLAIN "COMP_FORMAT=ZIP COMP_LEVEL=level1", false, {"%T\\n.txt"}, N_TXT " a -tzip " ZIP_N},
    {"format outside the set", "n.txt", "", PLAIN "COMP_FORMAT=zip", false, {"%T\\n.txt"}, N_TXT},
    {"method outside the set", "n.txt", "", PLAIN "COMP_FORMAT=ZIP COMP_ENCRYPT=TRUE COMP_ENC_METHOD=DES", false, {"%T\\n.txt"}, N_TXT},
    // A bare name lands in the working folder and cannot become a switch.
    {"bare name with a dash", "-sdel.txt", "", PLAIN, false, {"-sdel.txt"}, "busy ?-sdel.txt " A7Z "\"%T\\-sdel.7z\" \".\\-sdel.txt\""},
    // The archive to be made is an input, spelled another way or not: nothing asked, moved or run.
    {"damaged archive alone", "d.7z", "[check]\n%T\\D.7Z=0\n", PLAIN, true, {"%T\\D.7Z"},
     "busy ?%T\\D.7Z !「%T\\D.7Z」は解凍できる書庫ではないか、壊れています。処理を中断します。"},
    {"archive among the inputs", "a.7z n.txt", "", PLAIN, false, {"%T\\a.7z", "%T\\n.txt"},
     "busy ?%T\\a.7z #%T\\a.7z ?%T\\n.txt !圧縮先の「%T\\a.7z」は圧縮するファイルの一つです。処理を中断します。"},
    {"folder named like the archive", "d.7z\\", "", PLAIN, false, {"%T\\d.7z"}, "busy ?%T\\d.7z " A7Z "\"%T\\d.7z\" \"%T\\d.7z\""},
    // Drops: the options as the form shows them (a text outside its set shows
    // nothing chosen), the form owning every call, message and open.
    {"drop, DECOMP_ALL off", "a.zip b.zip", "", PLAIN, true, {"%T\\a.zip", "%T\\b.zip"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.zip #%T\\b.zip " A7Z "\"%T\\a.7z\" \"%T\\a.zip\" \"%T\\b.zip\""},
    {"drop", "n.txt", "", PLAIN "COMP_FORMAT=ZIP COMP_LEVEL=LEVEL0", true, {"%T\\n.txt"}, N_TXT " a -tzip -mx=0" ZIP_N},
    {"drop", "n.txt", "", PLAIN "COMP_FORMAT=ZIP COMP_LEVEL=LEVEL1 COMP_ENCRYPT=TRUE", true, {"%T\\n.txt"}, N_TXT " a -tzip -p -mem=ZipCrypto -mx=1" ZIP_N},
    {"drop", "n.txt", "", PLAIN "COMP_FORMAT=ZIP COMP_LEVEL=LEVEL2 COMP_ENCRYPT=TRUE COMP_ENC_METHOD=AES128", true, {"%T\\n.txt"}, N_TXT " a -tzip -p -mem=AES128 -mx=3" ZIP_N},
    {"drop", "n.txt", "", PLAIN "COMP_FORMAT=ZIP COMP_LEVEL=LEVEL5 COMP_ENCRYPT=TRUE COMP_ENC_METHOD=AES256", true, {"%T\\n.txt"}, N_TXT " a -tzip -p -mem=AES256 -mx=9" ZIP_N},
    {"drop", "n.txt", "", PLAIN "COMP_ENCRYPT=TRUE", true, {"%T\\n.txt"}, N_TXT " a -t7z -p -mhe=on -mx=5" _7Z_N},
    {"drop", "n.txt", "", PLAIN "COMP_LEVEL=LEVEL4 COMP_ENC_METHOD=", true, {"%T\\n.txt"}, N_TXT " a -t7z -mhe=off -mx=7" _7Z_N},
    {"drop", "n.txt", "", PLAIN "COMP_LEVEL=", true, {"%T\\n.txt"}, N_TXT " a -t7z -mhe=off " _7Z_N},
    {"drop", "n.txt", "", PLAIN "COMP_FORMAT=", true, {"%T\\n.txt"}, N_TXT},
    {"drop", "n.txt", "", PLAIN "COMP_FORMAT=ZIP COMP_ENCRYPT=TRUE COMP_ENC_METHOD=", true, {"%T\\n.txt"}, N_TXT},
    {"drop, folder per archive", "a.zip b.zip", "[fake]\nresults=0,0x8102\n", ALL_DIR_OPEN, true, {"%T\\a.zip", "%T\\b.zip"},
     "busy ?%T\\a.zip #%T\\a.zip ?%T\\b.zip #%T\\b.zip x \"%T\\a.zip\" -o\"%T\\a\" x \"%T\\b.zip\" -o\"%T\\b\" open %T\\a\\"},
    {"drop on a busy library", "n.txt", "[fake]\nrunning=1\n", PLAIN, true, {"%T\\n.txt"}, "busy !" MSG_BUSY},
    {"drop of a path over 260 bytes", "n.txt", "", PLAIN, true, {"%T\\n.txt", "C:\\" + kLong + "x"}, "busy !" MSG_PATH_TOO_LONG},
    // Refusals: nothing cut, nothing injected.
    {"argument over 260 bytes", "", "", PLAIN, false, {"C:\\" + kLong + "x", "%T\\n.txt"}, "busy !" MSG_PATH_TOO_LONG},
    {"argument of 260 bytes whose archive path is longer", "", "", PLAIN, false, {"C:\\" + kLong},
     "busy ?C:\\" + kLong + " !" MSG_PATH_TOO_LONG},
    {"directory part over 256 bytes", "", "", PLAIN, false, {"C:\\" + kLong.substr(2) + "\\x"},
     "busy ?C:\\" + kLong.substr(2) + "\\x !" MSG_PATH_TOO_LONG},
    {"double quote", "n.txt", "", PLAIN, false, {"%T\\n.txt", "%T\\a\" -sdel \"b"}, "busy !" MSG_BAD_CHAR},
    {"archive path over 260 bytes", "", "", PLAIN, false, {"C:\\d\\" + kLong.substr(2)},
     "busy ?C:\\d\\" + kLong.substr(2) + " !" MSG_PATH_TOO_LONG},
};
// clang-format on

class JobRunTest : public JobTest, public ::testing::WithParamInterface<JobCase> {};

TEST_P(JobRunTest, DoesExactlyThis) {
    const JobCase& c = GetParam();
    Make(c.files);
    Script(c.script);
    SetOptions(c.options);
    HWND form = c.drop ? Drop(c.args) : NULL;
    if (!c.drop) {
        RunArgs(c.args);
    }
    EXPECT_EQ(c.transcript, Transcript(form));
    CloseMainWindow(form);
    std::istringstream made(c.files);
    for (std::string name; made >> name;) {
        EXPECT_TRUE(name.back() == '\\' || ReadBytes(T("%T\\" + name)) == "data") << name;
    }
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
    SetOptions(PLAIN "COMP_FORMAT=ZIP COMP_OPEN=TRUE");
    HANDLE held = c.held ? CreateFileA(T("%T\\n.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                       OPEN_EXISTING, 0, NULL)
                         : INVALID_HANDLE_VALUE;
    watcher_->QueueAnswers({c.answer});
    RunArgs({"%T\\n.txt"});
    CloseHandle(held);
    EXPECT_EQ(c.transcript, Transcript());
    EXPECT_EQ(c.after, ReadBytes(T("%T\\n.zip")));
    WIN32_FIND_DATAA found;
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(T("%T\\tso*").c_str(), &found)) << "left aside";
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
    SetOptions(ALL_DIR_OPEN);
    RunArgs({deep + "\\a.zip", "%T\\b23456789012345678901.zip"});
    EXPECT_EQ(1u, Commands().size());
    EXPECT_EQ(1u, watcher_->Seen().size());
    EXPECT_EQ(MSG_CANNOT_CREATE_FOLDER, watcher_->Seen().at(0).text);
}

// The folder browser through its seam: what it is shown with, and what the
// job makes of the folder picked, of none with a path, and of a cancel.
struct Browser {
    static std::string pick; // "": cancelled; "?": a folder without a path
    static Lines shown;
    static LPITEMIDLIST WINAPI Browse(LPBROWSEINFOA info) {
        shown.push_back(HwndText(info->hwndOwner) + " " + info->lpszTitle);
        LPITEMIDLIST items = NULL;
        if (pick == "?") {
            SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &items);
        } else if (!pick.empty()) {
            items = ILCreateFromPathA(pick.c_str());
        }
        return items;
    }
};
std::string Browser::pick;
Lines Browser::shown;

TEST_F(JobTest, BrowserIsAskedOncePerJob) {
    const struct {
        const char* pick;
        Lines commands;
        const char* message;
    } cases[] = {
        {"%T\\out", {"x \"%T\\a.zip\" -o\"%T\\out\"", "x \"%T\\b.zip\" -o\"%T\\out\""}, NULL},
        // ends in a trail byte 0x5C
        {"%T\\ソ", {"x \"%T\\a.zip\" -o\"%T\\ソ\"", "x \"%T\\b.zip\" -o\"%T\\ソ\""}, NULL},
        {"C:\\", {"x \"%T\\a.zip\" -o\"C:\"", "x \"%T\\b.zip\" -o\"C:\""}, NULL},
        {"", {}, MSG_CANCELLED},
        {"?", {}, MSG_NO_FOLDER},
    };
    Make("a.zip b.zip out\\ ソ\\");
    SetOptions(ALL "DECOMPESS=DECIDE");
    g_browseForFolder = Browser::Browse;
    for (const auto& c : cases) {
        Browser::pick = T(c.pick);
        Browser::shown.clear();
        Script("[fake]\n");
        watcher_.reset(new DialogWatcher());
        RunArgs({"%T\\a.zip", "%T\\b.zip"});
        EXPECT_EQ(Lines{"00000000 フォルダを選択してください"}, Browser::shown) << c.pick;
        EXPECT_EQ(c.commands, Commands()) << c.pick;
        // A box is answered before the job can go on, so all are seen by now.
        Lines texts;
        for (const SeenDialog& seen : watcher_->Seen()) {
            texts.push_back(seen.text);
        }
        EXPECT_EQ(c.message ? Lines{c.message} : Lines(), texts) << c.pick;
    }
    // A drop's browser is owned by the form.
    SetOptions(PLAIN "DECOMPESS=DECIDE COMPESS=DECIDE COMP_LEVEL=");
    Browser::pick = T("%T\\out");
    Browser::shown.clear();
    Script("[fake]\n");
    HWND form = Drop({"%T\\a.zip", "%T\\b.zip"});
    EXPECT_EQ(Lines{HwndText(form) + " フォルダを選択してください"}, Browser::shown);
    EXPECT_EQ(
        Lines{
            "a -t7z -mhe=off  -ms=off -m0=LZMA2 -r0 \"%T\\out\\a.7z\" \"%T\\a.zip\" \"%T\\b.zip\""},
        Commands(form));
    CloseMainWindow(form);
    g_browseForFolder = SHBrowseForFolderA;
}

// Results on the prefix's real desktop folder are not opened; the folder is
// compared case-sensitively. Without a desktop folder the job ends.
TEST_F(JobTest, DestinationOnTheDesktopIsNotOpened) {
    const std::string desktop = GetDesktopFolder(), archive = desktop + "\\jobs-test.zip";
    ASSERT_FALSE(desktop.empty());
    std::string lower = archive;
    CharLowerA(&lower[0]);
    ASSERT_NE(lower, archive);
    const std::string lowerDir = lower.substr(0, lower.rfind('\\'));
    WriteBytes(archive, "zip");
    Make("n.txt");
    SetOptions(PLAIN "DECOMP_OPEN=TRUE COMP_OPEN=TRUE");
    RunArgs({archive});
    RunArgs({lower});
    g_ini.DECOMP_DIR = true;
    RunArgs({archive});
    SetOptions(PLAIN "DECOMP_OPEN=TRUE COMPESS=DESKTOP COMP_OPEN=TRUE");
    RunArgs({"%T\\n.txt"});
    EXPECT_EQ(Lines({"x \"" + archive + "\" -o\"" + desktop + "\"",
                     "x \"" + lower + "\" -o\"" + lowerDir + "\"",
                     "x \"" + archive + "\" -o\"" + desktop + "\\jobs-test\"",
                     A7Z "\"" + desktop + "\\n.7z\" \"%T\\n.txt\""}),
              Commands());
    EXPECT_EQ(
        Lines({"00000000 open " + lowerDir + "\\", "00000000 open " + desktop + "\\jobs-test\\"}),
        g_opens);
    DeleteFileA(archive.c_str());
    RemoveDirectoryA((desktop + "\\jobs-test").c_str());
    Script("[fake]\n");
    g_opens.clear();
    g_folderLocation = NoDesktop;
    RunArgs({"%T\\n.txt"});
    EXPECT_EQ(N_TXT " !" MSG_NO_DESKTOP, Transcript());
}

} // namespace
