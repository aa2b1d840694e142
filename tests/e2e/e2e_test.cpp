// The drop-in library and Tessaro.exe's jobs end to end: the real library
// driving the real engine under Wine, and what the user gets on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "archiver/sevenzip.h"
#include "sevenzip32/base/texts.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

using namespace testsupport;

namespace {

const char kPasswordCaption[] = SZ_TEXT_PASSWORD_CAPTION;
const char kProgressCaption[] = SZ_TEXT_PROGRESS_CAPTION;
const char kMessageCaption[] = SZ_TEXT_TITLE;
const char kQuestionCaption[] = SZ_TEXT_OVERWRITE_CAPTION;

// Builds under root: nested folders, an empty folder, an empty file, a big
// file of bigBytes, names with blanks, a leading dash and 表 / ソ.
void MakeTree(const std::string& root, size_t bigBytes = 10u * 1024u * 1024u) {
    for (const char* folder :
         {"", "\\表ソ フォルダ", "\\表ソ フォルダ\\深い", "\\表ソ フォルダ\\深い\\もっと 深い",
          "\\空のフォルダ", "\\sub dir"}) {
        CreateDirectoryA((root + folder).c_str(), NULL);
    }
    static const char* const kFiles[][2] = {
        {"\\empty.bin", ""},
        {"\\表.txt", "hyou\r\n"},
        {"\\ソ.txt", "so\r\n"},
        {"\\sub dir\\a.txt", "a"},
        {"\\-dash.txt", "leading dash\n"},
        {"\\with blank name.txt", "blank in the name"},
        {"\\表ソ フォルダ\\深い\\もっと 深い\\ソース 表.txt", "deep file with 表 and ソ"}};
    for (const auto& f : kFiles) {
        WriteBytes(root + f[0], f[1]);
    }
    // Half noise, half zeros: real work for the compressor, but not all of it.
    std::string big(bigBytes, '\0');
    unsigned int seed = 12345;
    for (size_t i = 0; i < bigBytes; i++) {
        seed = seed * 1103515245u + 12345u;
        big[i] = (i / 4096) % 2 == 0 ? static_cast<char>(seed >> 24) : '\0';
    }
    WriteBytes(root + "\\big file.bin", big);
}

// Every name under root ("dir/" for folders) with the bytes of each file.
std::map<std::string, std::string> ReadTree(const std::string& root, const std::string& rel = "") {
    std::map<std::string, std::string> out;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((root + rel + "\\*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
        std::string child = rel + "\\" + data.cFileName;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            out[child] = ReadBytes(root + child);
        } else if (strcmp(data.cFileName, ".") != 0 && strcmp(data.cFileName, "..") != 0) {
            out[child + "/"] = std::string();
            auto below = ReadTree(root, child);
            out.insert(below.begin(), below.end());
        }
    }
    FindClose(find);
    return out;
}

// "" when both trees hold the same names and bytes, else the names that differ.
std::string TreeDiff(const std::string& expected, const std::string& actual) {
    auto left = ReadTree(expected), right = ReadTree(actual);
    std::string diff = left.empty() ? "expected tree is empty\n" : "";
    for (const auto& e : left) {
        diff +=
            right.count(e.first) && right[e.first] == e.second ? "" : "differs: " + e.first + "\n";
    }
    for (const auto& e : right) {
        diff += left.count(e.first) ? "" : "extra: " + e.first + "\n";
    }
    return diff;
}

// An empty folder of the test, the same each run so that nothing piles up.
std::string FreshDir(const std::string& tag) {
    char temp[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "sz32e2e_" + tag;
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

// A path in double quotes, for the library's command lines.
std::string Q(const std::string& path) {
    return "\"" + path + "\"";
}

// Every text the watcher saw, each followed by a newline.
std::string Texts(DialogWatcher& watcher) {
    std::string all;
    for (const auto& seen : watcher.Seen()) {
        all += seen.text + "\n";
    }
    return all;
}

// Fills both fields of the password dialog (the watcher then presses OK).
std::function<void(HWND)> TypePassword(const std::string& password) {
    return [password](HWND dialog) {
        for (int id : {SZ_ID_PASSWORD, SZ_ID_CONFIRM}) {
            SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, (LPARAM)password.c_str());
        }
    };
}

// The program's own binding, here to the real library beside the test.
C7ZIP& Lib() {
    static C7ZIP lib;
    return lib;
}

int Call(const std::string& cmd, std::string* output = nullptr, HWND owner = NULL) {
    std::vector<char> buffer(65536, '\x7F');
    int result = Lib().SevenZip(owner, cmd.c_str(), buffer.data(), (DWORD)buffer.size());
    if (output != nullptr) {
        *output = buffer.data();
    }
    return result;
}

// Runs body with dir as the current folder, where relative names land.
template <class Body> void InDir(const std::string& dir, Body body) {
    char old[MAX_PATH] = {0};
    GetCurrentDirectoryA(MAX_PATH, old);
    SetCurrentDirectoryA(dir.c_str());
    body();
    SetCurrentDirectoryA(old);
}

std::string Le(unsigned long long value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; i++) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

unsigned Crc(const std::string& data) {
    unsigned crc = ~0u;
    for (unsigned char b : data) {
        crc ^= b;
        for (int k = 0; k < 8; k++) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A stored ZIP built byte by byte as an MS-DOS archiver writes one: names as
// given (code page 932), no UTF-8 flag.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries,
                      bool zip64 = false) {
    std::string local, central;
    for (const auto& e : entries) {
        std::string common = Le(20, 2) + Le(0, 2) + Le(0, 2) + Le(0, 4) + Le(Crc(e.second), 4) +
                             Le(e.second.size(), 4) + Le(e.second.size(), 4) +
                             Le(e.first.size(), 2) + Le(0, 2);
        central += std::string("PK\x01\x02") + Le(20, 2) + common + Le(0, 6) +
                   Le(e.first.back() == '/' ? 0x10 : 0, 4) + Le(local.size(), 4) + e.first;
        local += std::string("PK\x03\x04") + common + e.first + e.second;
    }
    if (zip64) { // the ZIP64 end record and its locator; the old record only marks them
        std::string counts = Le(entries.size(), 8) + Le(entries.size(), 8);
        return local + central + "PK\x06\x06" + Le(44, 8) + Le(45, 4) + Le(0, 8) + counts +
               Le(central.size(), 8) + Le(local.size(), 8) + "PK\x06\x07" + Le(0, 4) +
               Le(local.size() + central.size(), 8) + Le(1, 4) + "PK\x05\x06" + Le(0, 4) +
               Le(0xFFFF, 2) + Le(0xFFFF, 2) + Le(0xFFFFFFFF, 4) + Le(0xFFFFFFFF, 4) + Le(0, 2);
    }
    return local + central + std::string("PK\x05\x06", 4) + Le(0, 4) + Le(entries.size(), 2) +
           Le(entries.size(), 2) + Le(central.size(), 4) + Le(local.size(), 4) + Le(0, 2);
}

const std::vector<std::pair<std::string, std::string>> kLegacyEntries = {
    {"表ソ.txt", "one"}, {"ソ/", ""}, {"ソ/能.txt", "two"}, {"bad\x81 x\x5C.txt", "three"}};

// The names in a folder (code page 932), sorted, "/" after folders.
std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
        if (strcmp(data.cFileName, ".") != 0 && strcmp(data.cFileName, "..") != 0) {
            bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            names.push_back(std::string(data.cFileName) + (folder ? "/" : ""));
        }
    }
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string tree, stage; // the generated tree, made once; Tessaro.exe staged once

// Settings for a format, a level digit and an encryption method ("" the
// format's own, NULL none), extracting into a folder per archive or not.
std::string Keys(const char* format, const char* level, const char* method, bool dir = true) {
    return std::string("COMP_FORMAT=") + format + "\r\nCOMP_LEVEL=LEVEL" + level +
           "\r\nCOMP_ENCRYPT=" + (method ? "TRUE" : "FALSE") +
           "\r\nDECOMP_DIR=" + (dir ? "TRUE" : "FALSE") + "\r\n" +
           (method && *method ? "COMP_ENC_METHOD=" + std::string(method) + "\r\n" : "");
}

// Runs Tessaro.exe on inputs with these settings after the fixed ones.
DWORD Tessaro(const std::string& keys, const std::vector<std::string>& inputs) {
    char user[256] = {0};
    DWORD size = sizeof user;
    GetUserNameA(user, &size);
    WriteBytes(stage + "\\Tessaro_" + user + ".ini",
               "[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nDECOMPESS=SAMEPLACE\r\n"
               "COMP_OPEN=FALSE\r\nDECOMP_OPEN=FALSE\r\nDECOMP_ALL=TRUE\r\n" +
                   keys);
    return RunProcess(stage + "\\Tessaro.exe", inputs, std::string(), 180000);
}

// Compresses input with the settings and moves the archive made beside it to "to".
void CompressInto(const std::string& keys, const std::string& input, const std::string& to) {
    ASSERT_EQ(Tessaro(keys, {input}), 0u);
    ASSERT_TRUE(MoveFileA((input + to.substr(to.rfind('.'))).c_str(), to.c_str()));
}

class LibraryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(Lib().available);
        if (tree.empty() && GetEnvironmentVariableA("SZ32_CHILD", NULL, 0) == 0) { // not the child
            tree = FreshDir("src") + "\\tree";
            MakeTree(tree);
            stage = StageTessaro("sz32e2e-stage");
            // A library that misreads its command lines fails every case at once.
            ASSERT_EQ(Call("a -hide " + Q(tree + "\\..\\first check.7z") + " " +
                           Q(tree + "\\with blank name.txt")),
                      0);
        }
    }
};
using TessaroJob = LibraryTest;

TEST_F(LibraryTest, ArchivesAreRecognisedByTypeWithoutPasswords) {
    EXPECT_GE(Lib().SevenZipGetVersion(), SEVENZIP_MIN_VERSION);
    EXPECT_FALSE(Lib().SevenZipGetRunning());
    std::string dir = FreshDir("types");
    DialogWatcher messages(kMessageCaption), password(kPasswordCaption); // none expected
    password.SetDefaultAnswer(IDCANCEL);
    InDir(dir, [&] {
        for (std::string cmd : {"a -t7z -r0 plain.7z", "a -tzip -r0 plain.zip",
                                "a -t7z -psecret -mhe=on -r0 \"hidden names.7z\"",
                                "a -ttar -r0 t.tar", "a -tgzip t.gz"}) {
            ASSERT_EQ(Call(cmd + " " + Q(tree + "\\表.txt")), 0) << cmd;
        }
    });
    std::string bytes = ReadBytes(dir + "\\plain.7z"), zip = ReadBytes(dir + "\\plain.zip");
    std::string flipped = bytes;
    flipped[bytes.size() - 5] ^= 0x55; // inside the end header
    WriteBytes(dir + "\\renamed.dat", zip);
    WriteBytes(dir + "\\truncated.7z", bytes.substr(0, bytes.size() - 10));
    WriteBytes(dir + "\\flipped.7z", flipped);
    WriteBytes(dir + "\\cut.zip", zip.substr(0, zip.size() / 2));
    WriteBytes(dir + "\\text.7z", "7z but only text");
    WriteBytes(dir + "\\empty.zip", "");
    WriteBytes(dir + "\\image.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
    WriteBytes(dir + "\\image.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11));
    WriteBytes(dir + "\\legacy.zip", StoredZip(kLegacyEntries));
    // A file passes the header check exactly when it has a type.
    static const std::pair<const char*, int> kTypes[] = {
        {"\\plain.7z", 2}, {"\\plain.zip", 1},     {"\\renamed.dat", 1}, {"\\hidden names.7z", 2},
        {"\\t.tar", 0},    {"\\truncated.7z", -1}, {"\\flipped.7z", -1}, {"\\cut.zip", -1},
        {"\\text.7z", -1}, {"\\empty.zip", -1},    {"\\missing.7z", -1}, {"", -1},
        {"\\t.gz", 0},     {"\\image.png", -1},    {"\\image.jpg", -1},  {"\\legacy.zip", 1},
        {"\\表.txt", -1},
    };
    WriteBytes(dir + "\\表.txt", "plain text, nothing more\r\n");
    for (const auto& c : kTypes) {
        std::string path = dir + c.first;
        EXPECT_EQ(Lib().SevenZipCheckArchive(path.c_str(), 0), c.second >= 0) << c.first;
        EXPECT_EQ(Lib().SevenZipGetArchiveType(path.c_str()), c.second) << c.first;
    }
    EXPECT_EQ(password.Seen().size(), 0u);
    EXPECT_EQ(Texts(messages), "");
    // Judged in-process, yet exactly the files the engine itself opens (its
    // refusals end in boxes, after the check above).
    for (const char* name : {"\\t.tar", "\\t.gz", "\\image.png", "\\image.jpg", "\\表.txt",
                             "\\legacy.zip", "\\empty.zip"}) {
        std::string path = dir + name;
        EXPECT_EQ(Lib().SevenZipGetArchiveType(path.c_str()) >= 0, Call("l -hide " + Q(path)) == 0)
            << name;
    }
}

TEST_F(LibraryTest, FailuresReturnTheirCodesAndShowTheEngineText) {
    std::string dir = FreshDir("fail"), file = Q(tree + "\\表.txt");
    DialogWatcher messages(kMessageCaption), password(kPasswordCaption);
    ASSERT_EQ(Call("a -t7z -prightone -mhe=on " + Q(dir + "\\locked.7z") + " " + file), 0);
    ASSERT_EQ(Call("a -tzip -prightone -mem=AES256 " + Q(dir + "\\locked.zip") + " " + file), 0);
    ASSERT_EQ(Call("a -t7z -prightone -mhe=off " + Q(dir + "\\data.7z") + " " + file), 0);
    password.SetAction(TypePassword("wrongone"));
    EXPECT_EQ(Call("x " + Q(dir + "\\locked.7z") + " -o" + Q(dir + "\\out7z")), 0x800A);
    EXPECT_EQ(Call("x " + Q(dir + "\\locked.zip") + " -o" + Q(dir + "\\outzip")), 0x800A);
    EXPECT_TRUE(ReadTree(dir + "\\out7z").empty());
    EXPECT_FALSE(DirExists(dir + "\\outzip"));
    // Encrypted data under readable names: asked when the engine meets it.
    EXPECT_EQ(Call("x " + Q(dir + "\\data.7z") + " -o" + Q(dir + "\\outdata")), 0x800A);
    EXPECT_FALSE(DirExists(dir + "\\outdata"));
    password.SetAction(TypePassword("rightone"));
    EXPECT_EQ(Call("x " + Q(dir + "\\data.7z") + " -o" + Q(dir + "\\outdata")), 0);
    EXPECT_EQ(ReadBytes(dir + "\\outdata\\表.txt"), "hyou\r\n");
    // Cancelling the password dialog cancels the call.
    password.SetAction(nullptr);
    password.SetDefaultAnswer(IDCANCEL);
    EXPECT_EQ(Call("a -t7z -p " + Q(dir + "\\never.7z") + " " + file), 0x8020);
    EXPECT_EQ(password.Seen().size(), 5u);
    EXPECT_FALSE(FileExists(dir + "\\never.7z"));
    static const std::pair<const char*, int> kBad[] = {
        {"", 0x801C},
        {"q arc.7z x", 0x801C},
        {"a", 0x801C},
        {"a arc.7z", 0x801C},
        {"x arc.7z -zz", 0x801C},
        {"x -o missing.7z", 0x801C},
        {"a -t7z -m0=NoSuch arc.7z f.txt", 0x8102},
        {"a -tbogus arc.7z f.txt", 0x8102},
        {"a -t7z arc.7z no-such-file", 0x8101},
        {"t \"C:\\no such\\archive.7z\"", 0x8102},
    };
    InDir(dir, [&] {
        CopyFileA((tree + "\\表.txt").c_str(), "f.txt", FALSE);
        for (const auto& c : kBad) {
            EXPECT_EQ(Call(c.first), c.second) << c.first;
        }
    });
    std::string all = Texts(messages);
    EXPECT_NE(all.find("Wrong password"), std::string::npos) << all;
    EXPECT_NE(all.find("コマンドラインが正しくありません"), std::string::npos) << all;
}

TEST_F(LibraryTest, OutputIsBoundedAndTerminatedAtWholeCharacters) {
    std::string archive = Q(FreshDir("out") + "\\o.zip"), listing;
    DialogWatcher messages(kMessageCaption); // none expected: a box would block the call
    ASSERT_EQ(Call("a -tzip " + archive + " " + Q(tree + "\\表ソ フォルダ")), 0);
    ASSERT_EQ(Call("l " + archive, &listing), 0);
    DWORD japanese = (DWORD)listing.find("表ソ フォルダ/深い");
    ASSERT_NE(japanese, (DWORD)std::string::npos) << listing;
    EXPECT_EQ(listing.find('\b'), std::string::npos);
    // Sizes that end the text on, inside and after the first two-byte character.
    for (DWORD size : {1ul, 2ul, 17ul, japanese + 1, japanese + 2, japanese + 3}) {
        std::vector<char> buffer(size + 8, '\x7F');
        ASSERT_EQ(Lib().SevenZip(NULL, ("l " + archive).c_str(), buffer.data(), size), 0);
        std::string got = buffer.data();
        EXPECT_LT(got.size(), size);
        EXPECT_GE(got.size() + 1, size - 1) << size;
        EXPECT_EQ(buffer[size], '\x7F') << size;
        EXPECT_EQ(listing.compare(0, got.size(), got), 0) << size;
        EXPECT_GT(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, got.c_str(), -1, NULL, 0), 0)
            << size;
    }
}

TEST_F(LibraryTest, NamesComeBackWholeAndExistingFilesStayUnlessTheAnswerIsYes) {
    std::string dir = FreshDir("keep"), archive = Q(dir + "\\名前 表.7z"), out = dir + "\\out\\";
    // Relative names, the dashed one behind ".\" so that it is no switch.
    InDir(tree, [&] {
        ASSERT_EQ(Call("a -t7z " + archive + " \".\\-dash.txt\" \"表ソ フォルダ\\\" ソ.txt 表.txt"),
                  0);
    });
    static const struct {
        int answer, result;
        const char* kept;
    } kRuns[] = {{IDNO, 0, "mine"}, {SZ_ID_STOP, 0x8020, "mine"}, {IDYES, 0, "hyou\r\n"}};
    for (const auto& r : kRuns) {
        RemoveTree(out);
        CreateDirectoryA(out.c_str(), NULL);
        WriteBytes(out + "表.txt", "mine");
        DialogWatcher ask(kQuestionCaption);
        ask.QueueAnswers({r.answer});
        // A trailing backslash on the output folder must not swallow the quote.
        EXPECT_EQ(Call("x " + archive + " -o" + Q(out)), r.result) << r.answer;
        ASSERT_EQ(ask.Seen().size(), 1u) << r.answer;
        EXPECT_NE(ask.Seen()[0].text.find(out + "表.txt"), std::string::npos) << ask.Seen()[0].text;
        EXPECT_EQ(ReadBytes(out + "表.txt"), r.kept) << r.answer;
    }
    EXPECT_EQ(ReadBytes(out + "ソ.txt"), "so\r\n");
    EXPECT_EQ(ReadBytes(out + "-dash.txt"), "leading dash\n");
    EXPECT_EQ(ReadBytes(out + "表ソ フォルダ\\深い\\もっと 深い\\ソース 表.txt"),
              "deep file with 表 and ソ");
    // Testing writes nothing: no question even where the names exist.
    DialogWatcher none(kQuestionCaption);
    none.SetDefaultAnswer(SZ_ID_STOP);
    InDir(out, [&] { EXPECT_EQ(Call("t " + archive), 0); });
    EXPECT_EQ(none.Seen().size(), 0u);
}

TEST_F(LibraryTest, CancelOrAQuitMessageStopsTheEngineAndLeavesNoArchive) {
    std::string dir = FreshDir("cancel"), archive = dir + "\\c.7z";
    // One thread on much noise: the run outlasts the window's 0.5 s and the
    // watcher's pause on any machine.
    MakeTree(dir + "\\tree", 120u * 1024u * 1024u);
    std::string cmd = "a -t7z -mx=9 -mmt=1 " + Q(archive) + " " + Q(dir + "\\tree");
    // A quit message stops the run and is posted again afterwards, as a modal loop does.
    PostQuitMessage(7);
    EXPECT_EQ(Call(cmd), 0x8020);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(FileExists(archive));
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, NULL,
                                 NULL, NULL, NULL);
    std::atomic<int> busy(-1), ownerEnabled(-1);
    std::atomic<DWORD> childSawBusy(99);
    DialogWatcher cancel(kProgressCaption);
    cancel.SetDefaultAnswer(IDCANCEL);
    cancel.SetAction([&](HWND) {
        Sleep(700);
        // Seen from another thread, as by a modal dialog, and from another process.
        busy = Lib().SevenZipGetRunning();
        SetEnvironmentVariableA("SZ32_CHILD", "1");
        childSawBusy = RunProcess(ExeDir() + "\\e2e_test.exe",
                                  {"--gtest_filter=LibraryTest.AnotherProcessSeesTheLibraryBusy"});
        SetEnvironmentVariableA("SZ32_CHILD", NULL);
        ownerEnabled = IsWindowEnabled(owner);
    });
    EXPECT_EQ(Lib().SevenZip(owner, cmd.c_str(), NULL, 0), 0x8020);
    ASSERT_EQ(cancel.Seen().size(), 1u);
    EXPECT_EQ(cancel.Seen()[0].owner, owner);
    EXPECT_EQ(busy, TRUE);
    EXPECT_EQ(childSawBusy, 0u);
    EXPECT_EQ(ownerEnabled, FALSE);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
    EXPECT_FALSE(Lib().SevenZipGetRunning());
    EXPECT_FALSE(FileExists(archive));
}

// Run as a child of the cancel test while its call runs.
TEST_F(LibraryTest, AnotherProcessSeesTheLibraryBusy) {
    if (GetEnvironmentVariableA("SZ32_CHILD", NULL, 0) == 0) {
        GTEST_SKIP() << "runs only as the child of the cancel test";
    }
    EXPECT_TRUE(Lib().SevenZipGetRunning());
}

TEST_F(LibraryTest, TheEngineIsNamedWhenMissingAndInTheConfigDialog) {
    DialogWatcher messages(kMessageCaption);
    SetEnvironmentVariableA("SEVENZIP32_ENGINE", "/nonexistent/7zz");
    EXPECT_EQ(Call("l " + Q(tree + "\\x.7z")), 0x8102);
    SetEnvironmentVariableA("SEVENZIP32_ENGINE", NULL);
    ASSERT_TRUE(messages.WaitFor(1));
    EXPECT_NE(messages.Seen()[0].text.find("apt-get install 7zip"), std::string::npos);
    Lib().SevenZipConfigDialog(NULL, NULL, 0);
    ASSERT_TRUE(messages.WaitFor(2));
    char engine[MAX_PATH] = "";
    ASSERT_GT(GetEnvironmentVariableA("TESSARO_HOST_ENGINE", engine, MAX_PATH), 0u);
    EXPECT_NE(messages.Seen()[1].text.find(engine), std::string::npos) << engine;
    EXPECT_NE(messages.Seen()[1].text.find(": Copyright (c) 1999-"), std::string::npos)
        << Texts(messages);
}

TEST_F(TessaroJob, TreesComeBackWholeFromEveryFormatLevelAndMethod) {
    // Format, level and encryption method ("" the format's own, NULL none).
    static const char* const kCases[][3] = {
        {"7Z", "0", NULL},      {"7Z", "3", NULL},      {"7Z", "5", ""},
        {"ZIP", "0", NULL},     {"ZIP", "2", NULL},     {"ZIP", "3", "ZipCrypto"},
        {"ZIP", "1", "AES128"}, {"ZIP", "4", "AES256"},
    };
    DialogWatcher library(kMessageCaption), program;
    program.SetDefaultAnswer(IDNO);
    for (const auto& c : kCases) {
        std::string keys = Keys(c[0], c[1], c[2]);
        SCOPED_TRACE(keys);
        std::string work = FreshDir(std::string("t") + c[0] + c[1]),
                    ext = c[0][0] == '7' ? ".7z" : ".zip";
        DialogWatcher password(kPasswordCaption);
        // The engine takes only ASCII passwords for ZIP; 7z takes any.
        password.SetAction(TypePassword(ext == ".7z" ? "Secret 表ソ" : "Secret-42"));
        ASSERT_NO_FATAL_FAILURE(CompressInto(keys, tree, work + "\\tree" + ext)) << Texts(library);
        ASSERT_EQ(Tessaro(keys, {work + "\\tree" + ext}), 0u);
        EXPECT_EQ(TreeDiff(tree, work + "\\tree\\tree"), "");
        // Once for the new archive (typed twice inside), once to extract it.
        EXPECT_EQ(password.Seen().size(), c[2] ? 2u : 0u);
    }
    EXPECT_EQ(Texts(library), "");
    EXPECT_EQ(Texts(program), "");
}

TEST_F(TessaroJob, ADamagedArchiveIsCompressedNotExtracted) {
    std::string work = FreshDir("tdamaged");
    WriteBytes(work + "\\bad.zip", "PK\x03\x04 then nothing sound at all");
    DialogWatcher library(kMessageCaption);
    ASSERT_EQ(Tessaro(Keys("7Z", "3", NULL), {work + "\\bad.zip"}), 0u);
    EXPECT_FALSE(DirExists(work + "\\bad"));
    EXPECT_EQ(ReadBytes(work + "\\bad.7z").substr(0, 6), "7z\xBC\xAF\x27\x1C");
    EXPECT_EQ(Texts(library), "");
}

TEST_F(TessaroJob, AWrongPasswordFailsAndLeavesNothing) {
    std::string work = FreshDir("twrong"), archive = work + "\\表ソ フォルダ.7z";
    std::string keys = Keys("7Z", "1", "");
    DialogWatcher password(kPasswordCaption), library(kMessageCaption), program;
    password.SetAction(TypePassword("right"));
    ASSERT_NO_FATAL_FAILURE(CompressInto(keys, tree + "\\表ソ フォルダ", archive));
    password.SetAction(TypePassword("wrong"));
    ASSERT_EQ(Tessaro(keys, {archive}), 0u);
    EXPECT_EQ(password.Seen().size(), 2u);
    EXPECT_NE(Texts(library).find("Wrong password"), std::string::npos) << Texts(library);
    EXPECT_TRUE(ReadTree(work + "\\表ソ フォルダ").empty());
    EXPECT_EQ(Texts(program), "");
}

TEST_F(TessaroJob, AnExistingFileMeetsANoAndStaysUnchanged) {
    std::string work = FreshDir("tkeep"), archive = work + "\\sub dir.zip";
    std::string keys = Keys("ZIP", "3", NULL, false);
    DialogWatcher library(kMessageCaption);
    ASSERT_NO_FATAL_FAILURE(CompressInto(keys, tree + "\\sub dir", archive));
    CreateDirectoryA((work + "\\sub dir").c_str(), NULL);
    WriteBytes(work + "\\sub dir\\a.txt", "mine");
    DialogWatcher question(kQuestionCaption);
    question.SetDefaultAnswer(IDNO);
    ASSERT_EQ(Tessaro(keys, {archive}), 0u);
    EXPECT_EQ(ReadBytes(work + "\\sub dir\\a.txt"), "mine");
    EXPECT_NE(Texts(question).find("sub dir\\a.txt"), std::string::npos) << Texts(question);
    EXPECT_EQ(Texts(library), "");
}

TEST_F(TessaroJob, CancellingTheProgressWindowStopsTheRun) {
    std::string work = FreshDir("tcancel");
    MakeTree(work + "\\noise", 48u * 1024u * 1024u);
    DialogWatcher library(kMessageCaption), program, cancel(kProgressCaption);
    cancel.SetDefaultAnswer(IDCANCEL);
    cancel.SetAction([](HWND) { Sleep(1000); });
    ASSERT_EQ(Tessaro(Keys("7Z", "5", NULL), {work + "\\noise"}), 0u);
    EXPECT_EQ(cancel.Seen().size(), 1u);
    EXPECT_FALSE(FileExists(work + "\\noise.7z"));
    EXPECT_EQ(Texts(library), "");
    EXPECT_EQ(Texts(program), "");
}

// Files of one folder whose names and bytes a failure must leave alone.
std::string Prefilled(const std::string& tag, const std::vector<std::string>& names) {
    std::string dest = FreshDir(tag);
    for (const auto& name : names) {
        WriteBytes(dest + "\\" + name, "mine!");
    }
    return dest;
}

TEST_F(LibraryTest, AFailedRunLeavesEveryFileAsItWas) {
    std::string dir = FreshDir("safe"), src = dir + "\\src";
    CreateDirectoryA(src.c_str(), NULL);
    CreateDirectoryA((src + "\\sub").c_str(), NULL);
    WriteBytes(src + "\\data.txt", std::string(4000, 'A'));
    WriteBytes(src + "\\表.txt", "hyou");
    WriteBytes(src + "\\FAQ1.txt", "1");
    WriteBytes(src + "\\sub\\FAQ2.txt", "2");
    std::string both = Q(src + "\\data.txt") + " " + Q(src + "\\表.txt");
    for (std::string c :
         {"-tzip -mem=AES256 aes.zip", "-tzip -mem=ZipCrypto zc.zip", "-t7z e.7z"}) {
        ASSERT_EQ(Call("a -pright " + c.substr(0, c.rfind(' ')) + " " +
                       Q(dir + "\\" + c.substr(c.rfind(' ') + 1)) + " " + both),
                  0)
            << c;
    }
    ASSERT_EQ(Call("a -tzip -mx=0 " + Q(dir + "\\bad.zip") + " " + both), 0);
    ASSERT_EQ(Call("a -t7z " + Q(dir + "\\old.7z") + " " + both), 0);
    std::string bad = ReadBytes(dir + "\\bad.zip");
    bad[30 + 8 + 2000] ^= 0x55; // inside the stored bytes of data.txt: a CRC error
    WriteBytes(dir + "\\bad.zip", bad);
    DialogWatcher messages(kMessageCaption);
    std::string dest = Prefilled("safedest", {"data.txt", "表.txt"});
    // Wrong passwords after a Yes (-aoa), damaged data, a pattern for an archive.
    static const std::pair<const char*, int> kExtract[] = {
        {"x -aoa -pwrong aes.zip", 0x800A}, {"x -aoa -pwrong zc.zip", 0x800A},
        {"x -aoa -pwrong e.7z", 0x800A},    {"x -aoa bad.zip", 0x8102},
        {"e -y bad.zip", 0x8102},           {"x -aoa *.zip", 0x8102},
    };
    auto before = ReadTree(dest);
    for (const auto& c : kExtract) {
        std::string cmd = c.first, archive = cmd.substr(cmd.rfind(' ') + 1);
        EXPECT_EQ(
            Call(cmd.substr(0, cmd.rfind(' ')) + " " + Q(dir + "\\" + archive) + " -o" + Q(dest)),
            c.second)
            << cmd;
        EXPECT_TRUE(ReadTree(dest) == before) << cmd;
    }
    // Compressions that fail leave no archive, and an existing one byte for byte.
    static const std::pair<const char*, int> kCompress[] = {
        {"a -tzip q.zip src\\FAQ?.txt", 0x8101},
        {"a -tzip m.zip src\\missing.txt", 0x8101},
        {"a -t7z old.7z src\\missing.txt", 0x8101},
        {"a -t7z -m0=NoSuch old.7z src\\表.txt", 0x8102},
    };
    InDir(dir, [&] {
        for (const auto& c : kCompress) {
            std::string cmd = c.first, archive = cmd.substr(0, cmd.rfind(' '));
            archive = archive.substr(archive.rfind(' ') + 1);
            std::string old = ReadBytes(dir + "\\" + archive);
            bool existed = FileExists(dir + "\\" + archive);
            EXPECT_EQ(Call(cmd), c.second) << cmd;
            EXPECT_EQ(FileExists(dir + "\\" + archive), existed) << cmd;
            EXPECT_TRUE(ReadBytes(dir + "\\" + archive) == old) << cmd;
        }
    });
    EXPECT_TRUE(ReadTree(dir + "\\src").size() == 5u);
    EXPECT_EQ(Call("x -pSecretWord e.7z -zz"), 0x801C); // shown, but masked
    std::string all = Texts(messages);
    EXPECT_NE(all.find("src\\FAQ?.txt"), std::string::npos) << all;
    EXPECT_NE(all.find("src\\missing.txt"), std::string::npos) << all;
    EXPECT_NE(all.find("x -p*** e.7z -zz"), std::string::npos) << all;
    EXPECT_EQ(all.find("SecretWord"), std::string::npos) << all;
}

TEST_F(LibraryTest, EachExistingFileIsAskedAboutOrDecidedByTheSwitch) {
    std::string dir = FreshDir("ask"), archive = Q(dir + "\\abc.7z");
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        WriteBytes(dir + "\\" + name, "new");
    }
    ASSERT_EQ(Call("a -t7z " + archive + " " + Q(dir + "\\a.txt") + " " + Q(dir + "\\b.txt") + " " +
                   Q(dir + "\\c.txt")),
              0);
    // Switch, answers in order, result, questions seen, files replaced, a_1.txt afterwards.
    static const struct {
        const char* flag;
        std::vector<int> answers;
        int result;
        size_t asked, replaced;
        const char* renamed;
    } kRuns[] = {
        {"", {IDYES, IDNO, IDNO}, 0, 3, 1, ""},
        {"", {SZ_ID_YES_ALL}, 0, 1, 3, ""},
        {"", {IDNO, SZ_ID_NO_ALL}, 0, 2, 0, ""},
        {"", {IDYES, SZ_ID_STOP}, 0x8020, 2, 1, ""},
        {"", {IDCANCEL, IDCANCEL, IDCANCEL}, 0, 3, 0, ""}, // the window closed: No
        {"-aoa", {}, 0, 0, 3, ""},
        {"-y", {}, 0, 0, 3, ""},
        {"-aos", {}, 0, 0, 0, ""},
        {"-aou", {}, 0, 0, 0, "new"},
        {"-aot", {}, 0, 0, 3, "mine!"},
    };
    for (const auto& r : kRuns) {
        std::string dest = Prefilled("askdest", {"a.txt", "b.txt", "c.txt"});
        DialogWatcher ask(kQuestionCaption);
        ask.QueueAnswers(r.answers);
        EXPECT_EQ(Call("x " + std::string(r.flag) + " " + archive + " -o" + Q(dest)), r.result)
            << r.flag << r.answers.size();
        EXPECT_EQ(ask.Seen().size(), r.asked) << r.flag << r.answers.size();
        size_t replaced = 0;
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            replaced += ReadBytes(dest + "\\" + name) == "new";
        }
        EXPECT_EQ(replaced, r.replaced) << r.flag << r.answers.size();
        EXPECT_EQ(ReadBytes(dest + "\\a_1.txt"), r.renamed) << r.flag;
        if (!ask.Seen().empty()) { // name, size and date of both files
            std::string text = ask.Seen()[0].text;
            EXPECT_NE(text.find(dest + "\\"), std::string::npos) << text;
            EXPECT_NE(text.find("5 バイト"), std::string::npos) << text;
            EXPECT_NE(text.find("3 バイト"), std::string::npos) << text;
        }
    }
}

// An archive whose one large entry takes the engine a few seconds to extract.
std::string BigArchive() {
    static std::string archive;
    if (archive.empty()) {
        std::string dir = FreshDir("big");
        MakeTree(dir + "\\tree", 160u * 1024u * 1024u);
        archive = dir + "\\big.7z";
        EXPECT_EQ(Call("a -t7z -mx=1 -hide " + Q(archive) + " " + Q(dir + "\\tree")), 0);
    }
    return archive;
}

TEST_F(LibraryTest, CancelInTheMiddleOfALargeEntryLeavesTheDestinationAsItWas) {
    std::string dest = Prefilled("bigcancel", {"big file.bin", "表.txt"});
    auto before = ReadTree(dest);
    DialogWatcher cancel(kProgressCaption), messages(kMessageCaption);
    cancel.SetDefaultAnswer(IDCANCEL); // as soon as the window shows, half a second in
    std::string sizes;
    cancel.SetAction([&](HWND progress) { // the total, from a listing beside the run
        char text[256] = {0};
        for (int i = 0; i < 10 && !strstr(text, "全体: 160"); i++) {
            Sleep(i > 0 ? 100 : 0);
            GetDlgItemTextA(progress, SZ_ID_PROGRESS_SIZE, text, sizeof text);
        }
        sizes = text;
    });
    EXPECT_EQ(Call("x -aoa " + Q(BigArchive()) + " -o" + Q(dest)), 0x8020);
    EXPECT_EQ(cancel.Seen().size(), 1u);
    EXPECT_NE(sizes.find(" / 全体: 160.0 MB"), std::string::npos) << sizes;
    EXPECT_TRUE(ReadTree(dest) == before);
    EXPECT_EQ(Texts(messages), "");
}

// How many entries match a pattern.
size_t Count(const std::string& pattern) {
    WIN32_FIND_DATAA data;
    size_t n = 0;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
        n++;
    }
    FindClose(find);
    return n;
}

// The caller killed while the engine runs, or later at the overwrite question.
TEST_F(LibraryTest, TheEngineEndsWithItsCallerAndLeavesNothingBehind) {
    std::string small = FreshDir("asked") + "\\small.7z";
    WriteBytes(small + ".txt", "new");
    ASSERT_EQ(Call("a -hide " + Q(small) + " " + Q(small + ".txt")), 0);
    std::string dest = Prefilled("bigkill", {"big file.bin", "表.txt", "small.7z.txt"});
    auto before = ReadTree(dest);
    const std::pair<std::string, std::function<bool()>> kRuns[] = {
        {"x -aoa -hide " + Q(BigArchive()), [&] { return Count(dest + "\\~7-zip32-*") == 1; }},
        {"x " + Q(small), [&] { return FindWindowA(NULL, kQuestionCaption) != NULL; }},
    };
    for (const auto& run : kRuns) {
        SetEnvironmentVariableA("SZ32_CHILD", "1");
        SetEnvironmentVariableA("SZ32_KILL", (run.first + " -o" + Q(dest)).c_str());
        Process child = StartProcess(ExeDir() + "\\e2e_test.exe",
                                     {"--gtest_filter=LibraryTest.ExtractsUntilKilled"});
        SetEnvironmentVariableA("SZ32_CHILD", NULL);
        SetEnvironmentVariableA("SZ32_KILL", NULL);
        ASSERT_TRUE(PumpUntil(run.second, 60000)) << run.first;
        Sleep(500);
        TerminateProcess(child.handle, 9);
        WaitProcess(child);
        std::string privateFolders = "Z:\\tmp\\7-zip32-" + std::to_string(child.id) + "-*";
        EXPECT_TRUE(PumpUntil([&] {
            return Count(dest + "\\~7-zip32-*") + Count(privateFolders) == 0;
        })) << run.first;
        EXPECT_TRUE(ReadTree(dest) == before) << run.first;
    }
}

// Run as the child of the test above, which kills it.
TEST_F(LibraryTest, ExtractsUntilKilled) {
    char cmd[4096] = {0};
    if (GetEnvironmentVariableA("SZ32_KILL", cmd, sizeof cmd) == 0) {
        GTEST_SKIP() << "runs only as the child of the caller-killed test";
    }
    Call(cmd);
}

TEST_F(LibraryTest, TwentyThousandNamesMakeOneArchive) {
    std::string dir = FreshDir("many"), cmd = "a -tzip -mx=0 -hide ..\\many.zip";
    // The engine makes the files far faster than Wine would one by one.
    std::vector<std::pair<std::string, std::string>> names;
    for (int i = 0; i < 20000; i++) {
        names.push_back({"d" + std::to_string(i / 1000) + "/f" + std::to_string(i), ""});
        cmd += " d" + std::to_string(i / 1000) + "\\f" + std::to_string(i);
    }
    WriteBytes(dir + "\\empty.zip", StoredZip(names));
    ASSERT_EQ(Call("x -hide " + Q(dir + "\\empty.zip") + " -o" + Q(dir + "\\in")), 0);
    std::string output;
    InDir(dir + "\\in", [&] { ASSERT_EQ(Call(cmd), 0); });
    ASSERT_EQ(Call("t " + Q(dir + "\\many.zip"), &output), 0);
    EXPECT_NE(output.find("Files: 20000\n"), std::string::npos) << output;
}

TEST_F(LibraryTest, LegacyZipNamesLandReadableThroughTessaroAndInTheListing) {
    std::string dir = MakeTempDir("i9-legacy"), zip = dir + "\\legacy.zip";
    WriteBytes(zip, StoredZip(kLegacyEntries));
    DialogWatcher library(kMessageCaption), program; // a failure is answered, not waited out
    ASSERT_EQ(Tessaro("DECOMP_DIR=TRUE\r\n", {zip}), 0u);
    EXPECT_EQ(Texts(library) + Texts(program), "");
    std::vector<std::string> expected = {"bad%81 x%5C.txt", "ソ/", "表ソ.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir + "\\legacy"), expected);
    EXPECT_EQ(ReadBytes(dir + "\\legacy\\表ソ.txt"), "one");
    EXPECT_EQ(ReadBytes(dir + "\\legacy\\ソ\\能.txt"), "two");
    EXPECT_EQ(ReadBytes(dir + "\\legacy\\bad%81 x%5C.txt"), "three");
    // Flat extraction and the listing give the same names.
    ASSERT_EQ(Call("e -hide " + Q(zip) + " -o" + Q(dir + "\\flat")), 0);
    expected = {"bad%81 x%5C.txt", "ソ/", "表ソ.txt", "能.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir + "\\flat"), expected);
    std::string listing;
    ASSERT_EQ(Call("l -hide " + Q(zip), &listing), 0);
    for (const char* name : {"表ソ.txt", "ソ/能.txt", "bad%81 x%5C.txt"}) {
        EXPECT_NE(listing.find(name), std::string::npos) << name << " in\n" << listing;
    }
}

// A GNU tar as other systems write one: type '0' a file, '2' a link to link;
// names past 100 bytes in GNU's long-name records.
struct TarEntry {
    std::string name, data;
    char type;
    std::string link;
};
std::string Tar(const std::vector<TarEntry>& entries) {
    auto header = [](const std::string& name, size_t size, char type, const std::string& link) {
        std::string h(512, '\0');
        auto put = [&](size_t at, const std::string& text, size_t most) {
            h.replace(at, std::min(text.size(), most), text, 0, most);
        };
        char size8[16] = {0};
        snprintf(size8, sizeof size8, "%011o", static_cast<unsigned>(size));
        put(0, name, 100);
        put(100, "0000644", 8);
        put(124, size8, 12);
        put(136, "00000000000", 12);
        h[156] = type;
        put(157, link, 100);
        put(257, "ustar  ", 8);
        h.replace(148, 8, 8, ' ');
        unsigned sum = 0;
        for (unsigned char c : h) {
            sum += c;
        }
        snprintf(size8, sizeof size8, "%06o", sum);
        put(148, std::string(size8) + '\0', 7);
        return h;
    };
    auto padded = [](std::string data) {
        data.resize((data.size() + 511) / 512 * 512, '\0');
        return data;
    };
    std::string out;
    for (const auto& e : entries) {
        if (e.name.size() > 100) {
            out += header("././@LongLink", e.name.size() + 1, 'L', "") + padded(e.name + '\0');
        }
        out += header(e.name, e.type == '0' ? e.data.size() : 0, e.type, e.link) + padded(e.data);
    }
    return out + std::string(1024, '\0');
}

bool WindowsRoad() {
    char road[16] = {0};
    GetEnvironmentVariableA("SEVENZIP32_ROAD", road, sizeof road);
    return strcmp(road, "windows") == 0;
}

// Archives made elsewhere, each extracted with -aoa into a new folder beside a
// file it aims at: every entry lands inside under a name of its own or is named
// in the message, nothing outside changes, and no staging folder stays.
TEST_F(LibraryTest, ArchivesFromElsewhereStayInsideTheirDestination) {
    std::string dir = FreshDir("contain"), host = HostPath(dir);
    WriteBytes(dir + "\\あ.txt", "victim");
    using Tree = std::map<std::string, std::string>;
    Tree absolute = {{"\\表.txt", "hyo"}, {"\\あ.txt", "evil"}};
    std::string at;
    for (size_t slash = 0; slash != std::string::npos; slash = host.find('/', slash + 1)) {
        std::string part = host.substr(slash + 1, host.find('/', slash + 1) - slash - 1);
        for (size_t colon; (colon = part.find(':')) != std::string::npos;) {
            part.replace(colon, 1, "%3A"); // as Wine's c: drive folder is named on the host
        }
        at += "\\" + part;
        absolute[at + "/"] = "";
    }
    absolute[at + "\\あ.txt"] = "abs";
    std::string deep;
    for (int i = 0; i < 10; i++) {
        deep += std::string(i ? "/" : "") + "d" + std::to_string(i) + std::string(56, 'x');
    }
    std::string damaged = StoredZip({{deep + "/deep.txt", "deep"}, {"bad.txt", "data"}});
    damaged[damaged.find("bad.txtdata") + 7] ^= 0x55;
    static const std::string kUp = "展開先の外を指すリンク",
                             kNoLink = "このシステムではリンクを作れません",
                             kInside = "展開先の外を指す名前のため";
    const struct {
        const char* tag;
        std::string archive;
        int result;
        Tree wine;           // what lands on the Wine road
        const Tree* windows; // on the Windows road, when the engine names entries its own way
        std::vector<std::string> named = {}, namedOnWindows = {};
    } kCases[] = {
        {"climb.zip",
         StoredZip({{"../あ.txt", "evil"}, {host + "/あ.txt", "abs"}, {"表.txt", "hyo"}}),
         0x8101,
         absolute,
         nullptr,
         {"..\\あ.txt (" + kInside},
         {"..\\あ.txt (" + kInside}},
        {"latin1.tar",
         Tar({{"caf\xE9.txt", "e9", '0', ""}, {"caf\xE8.txt", "e8", '0', ""}}),
         0,
         {{"\\caf%E9.txt", "e9"}, {"\\caf%E8.txt", "e8"}},
         nullptr},
        {"backslash.tar",
         Tar({{"\xE8\xA1\xA8\\x/in.txt", "in", '0', ""}}),
         0,
         {{"\\表%5Cx/", ""}, {"\\表%5Cx\\in.txt", "in"}},
         nullptr},
        {"links.tar",
         Tar({{"v1.2/NOTES.txt", "notes", '0', ""},
              {"current", "", '2', "v1.2"},
              {"abs", "", '2', "/etc"},
              {"up", "", '2', "../.."}}),
         0x8101,
         {{"\\v1.2/", ""},
          {"\\v1.2\\NOTES.txt", "notes"},
          {"\\current/", ""},
          {"\\current\\NOTES.txt", "notes"}},
         nullptr,
         {"\\abs (" + kUp, "\\up (" + kUp},
         {"\\current (" + kNoLink, "\\abs (" + kNoLink, "\\up (" + kUp}},
        {"stage.tar",
         Tar({{"~7-zip32-32-1.tmp/inner.txt", "inner", '0', ""}, {"top.txt", "top", '0', ""}}),
         0,
         {{"\\~7-zip32-32-1.tmp/", ""},
          {"\\~7-zip32-32-1.tmp\\inner.txt", "inner"},
          {"\\top.txt", "top"}},
         nullptr},
        {"deep.zip", damaged, 0x8102, {}, nullptr},
        {"zip64.zip",
         StoredZip({{"あ.txt", "a"}, {"い.txt", "i"}}, true),
         0,
         {{"\\あ.txt", "a"}, {"\\い.txt", "i"}},
         nullptr},
    };
    for (const auto& c : kCases) {
        std::string archive = dir + "\\" + c.tag, dest = dir + "\\to-" + c.tag;
        WriteBytes(archive, c.archive);
        Tree before = ReadTree(dir);
        DialogWatcher messages(kMessageCaption);
        EXPECT_EQ(Call("x -aoa " + Q(archive) + " -o" + Q(dest)), c.result) << c.tag;
        Tree after = ReadTree(dir), landed = ReadTree(dest);
        for (const auto& e : landed) {
            after.erase("\\to-" + std::string(c.tag) + e.first);
        }
        after.erase("\\to-" + std::string(c.tag) + "/");
        auto keys = [](const Tree& tree) {
            std::string all;
            for (const auto& e : tree) {
                all += e.first + "\n";
            }
            return all;
        };
        EXPECT_EQ(keys(after), keys(before)) << c.tag;
        const Tree* want = WindowsRoad() ? c.windows : &c.wine;
        EXPECT_TRUE(want == nullptr || landed == *want) << c.tag << " got\n" << keys(landed);
        std::string text = Texts(messages);
        for (const auto& name : WindowsRoad() ? c.namedOnWindows : c.named) {
            bool stored = name[0] == '.'; // a stored name, not a place in the destination
            EXPECT_NE(text.find(stored ? name : dest + name), std::string::npos)
                << name << " in " << text;
        }
        if (!WindowsRoad() && c.result == 0x8101) { // a link stays a link
            EXPECT_TRUE(GetFileAttributesA((dest + "\\current").c_str()) &
                        FILE_ATTRIBUTE_REPARSE_POINT);
        }
    }
}

// The bytes of every file under dir (links not followed), read by wide names.
void Contents(const std::wstring& dir, std::set<std::string>& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
        std::wstring path = dir + L"\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            continue;
        } else if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                      OPEN_EXISTING, 0, NULL);
            char bytes[64] = {0};
            DWORD got = 0;
            ReadFile(file, bytes, sizeof bytes - 1, &got, NULL);
            CloseHandle(file);
            out.insert(bytes);
        } else if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0) {
            Contents(path, out);
        }
    }
    FindClose(find);
}

// Archives of hostile names drawn from a fixed seed: every file entry
// arrives inside the destination (entries that land on one name renamed,
// -aou) or is named in the message; nothing outside changes or stays behind.
TEST_F(LibraryTest, GeneratedHostileNamesArriveInsideOrAreNamed) {
    const unsigned kSeed = 20261207;
    std::mt19937 random(kSeed);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    static const char* const kParts[] = {
        "CON",      "aux.txt",   "LPT1.doc",   "..",         ".",
        "end.",     "end ",      "Readme.txt", "README.TXT", "~7-zip32-32-1.tmp",
        "\xC3\xA9", "e\xCC\x81", "a\\b",       "a:b",        "a*b",
        "a?b",      "a\"b",      "a<b",        "a>b",        "a|b",
        "100%",     "%41"};
    static const char* const kTargets[] = {"../x", "/etc", "Readme.txt", "a/../../..", ".."};
    std::string dir = FreshDir("generated");
    WriteBytes(dir + "\\victim.txt", "victim");
    for (int k = 0; k < 16; k++) {
        std::vector<TarEntry> entries;
        std::set<std::string> expected;
        for (int i = 0; i < 10; i++) {
            std::string name;
            for (size_t depth = 1 + pick(3); depth > 0; depth--) {
                std::string part;
                if (pick(3) == 0) {
                    for (size_t n = 1 + pick(pick(4) == 0 ? 120 : 12); n > 0; n--) {
                        part += static_cast<char>(1 + pick(255));
                    }
                    std::replace(part.begin(), part.end(), '/', '_');
                } else {
                    part = kParts[pick(sizeof kParts / sizeof kParts[0])];
                }
                name += (name.empty() ? "" : "/") + part;
            }
            std::string data = "entry-" + std::to_string(k) + "-" + std::to_string(i);
            bool link = k % 2 == 0 && pick(5) == 0;
            entries.push_back({name, link ? "" : data, link ? '2' : '0',
                               kTargets[pick(sizeof kTargets / sizeof kTargets[0])]});
            if (!link) {
                expected.insert(data);
            }
        }
        std::string archive = dir + "\\" + std::to_string(k) + (k % 2 ? ".zip" : ".tar");
        std::vector<std::pair<std::string, std::string>> zipped;
        for (const auto& e : entries) {
            zipped.push_back({e.name, e.data});
        }
        WriteBytes(archive, k % 2 ? StoredZip(zipped) : Tar(entries));
        std::string dest = dir + "\\to-" + std::to_string(k);
        if (k % 4 < 2) { // half meet an existing folder, half make a new one
            CreateDirectoryA(dest.c_str(), NULL);
        }
        auto before = ReadTree(dir);
        DialogWatcher messages(kMessageCaption);
        int result = Call("x -aou " + Q(archive) + " -o" + Q(dest));
        std::string text = Texts(messages);
        std::set<std::string> found;
        wchar_t wide[MAX_PATH] = {0};
        MultiByteToWideChar(CP_ACP, 0, dest.c_str(), -1, wide, MAX_PATH);
        Contents(std::wstring(L"\\\\?\\") + wide, found);
        // The message's lines past its sentence and blank line, one per entry.
        long named =
            text.empty() ? 0 : static_cast<long>(std::count(text.begin(), text.end(), '\n')) - 3;
        std::string missing;
        for (const auto& data : expected) {
            missing += found.count(data) ? "" : data + " ";
        }
        auto after = ReadTree(dir);
        for (auto e = after.begin(); e != after.end();) {
            e = e->first.rfind("\\to-" + std::to_string(k), 0) == 0 ? after.erase(e) : ++e;
        }
        before.erase("\\to-" + std::to_string(k) + "/");
        // A failure names what failed and places nothing.
        EXPECT_TRUE(result == 0 || result == 0x8101 || (result == 0x8102 && found.empty()))
            << "seed " << kSeed << " #" << k << text;
        EXPECT_LE(result == 0x8102 ? 0 : std::count(missing.begin(), missing.end(), ' '), named)
            << "seed " << kSeed << " #" << k << " lost " << missing << "\n"
            << text;
        EXPECT_TRUE(after == before) << "seed " << kSeed << " #" << k;
    }
}

// The engine's warning (exit 1: a file it could not read) reaches the caller as
// 0x8101, and the archive it made then never replaces the older one.
TEST_F(LibraryTest, AnEngineWarningIsAWarningAndReplacesNothing) {
    std::string dir = FreshDir("warn"), fake = dir + "\\fake-7zz";
    WriteBytes(fake, "#!/bin/sh\nfor a; do case $a in @* | -*) ;; *) last=$a ;; esac; done\n"
                     "printf made >\"$last\"; echo 'WARNING: cannot read a file' >&2; exit 1\n");
    HostRun({"/bin/chmod", "+x", HostPath(fake)});
    WriteBytes(dir + "\\old.7z", "old");
    WriteBytes(dir + "\\in.txt", "in");
    SetEnvironmentVariableA("SEVENZIP32_ENGINE", HostPath(fake).c_str());
    DialogWatcher messages(kMessageCaption);
    int result = Call("a -hide " + Q(dir + "\\old.7z") + " " + Q(dir + "\\in.txt"));
    SetEnvironmentVariableA("SEVENZIP32_ENGINE", NULL);
    EXPECT_EQ(result, 0x8101);
    EXPECT_EQ(ReadBytes(dir + "\\old.7z"), "old");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"fake-7zz", "in.txt", "old.7z"}));
    EXPECT_NE(Texts(messages).find("cannot read a file"), std::string::npos) << Texts(messages);
}

// A file that is read-only, one held open, and the archive itself reached
// through another spelling of its folder are never replaced, even with -aoa.
TEST_F(LibraryTest, WhatMayNotBeReplacedIsNamedWithItsReason) {
    std::string dir = FreshDir("keep"), zip = dir + "\\self.zip";
    WriteBytes(
        zip,
        StoredZip(
            {{"self.zip", "new"}, {"ro.txt", "new"}, {"open.txt", "new"}, {"new.txt", "new"}}));
    std::string self = ReadBytes(zip);
    WriteBytes(dir + "\\ro.txt", "mine!");
    WriteBytes(dir + "\\open.txt", "mine!");
    SetFileAttributesA((dir + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE held =
        CreateFileA((dir + "\\open.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    std::string other = "Z:" + HostPath(dir);
    std::replace(other.begin(), other.end(), '/', '\\');
    DialogWatcher messages(kMessageCaption);
    EXPECT_EQ(Call("x -aoa " + Q(other + "\\self.zip") + " -o" + Q(dir)), 0x8101);
    CloseHandle(held);
    SetFileAttributesA((dir + "\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(zip), self);
    EXPECT_EQ(ReadBytes(dir + "\\ro.txt") + ReadBytes(dir + "\\open.txt"), "mine!mine!");
    EXPECT_EQ(ReadBytes(dir + "\\new.txt"), "new");
    std::string text = Texts(messages);
    for (std::string line :
         {"\\self.zip (展開中の書庫自身)", "\\ro.txt (読み取り専用か、書き込めません)",
          "\\open.txt (ほかのプログラムが使用中)"}) {
        EXPECT_NE(text.find(dir + line), std::string::npos) << line << " in " << text;
    }
}

TEST_F(LibraryTest, AMissingInputIsNamedInOneJapaneseSentence) {
    std::string dir = MakeTempDir("i9-missing");
    DialogWatcher boxes(SZ_TEXT_TITLE);
    EXPECT_EQ(Call("a -hide " + Q(dir + "\\a.7z") + " " + Q(dir + "\\無い.txt")), 0x8101);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    // Named as the user gave it, and the engine never started.
    EXPECT_EQ(boxes.Seen()[0].text, "「" + dir + "\\無い.txt」が見つかりません。");
    EXPECT_EQ(GetFileAttributesA((dir + "\\a.7z").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LibraryTest, ProgressShowsBarSizesAndTimesAndCancelStopsAtOnce) {
    std::string dir = MakeTempDir("i9-progress"), archive = dir + "\\進行.7z";
    std::string noise(40u * 1024u * 1024u, '\0');
    unsigned seed = 99;
    for (char& c : noise) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 24);
    }
    WriteBytes(dir + "\\noise.bin", noise);
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, NULL,
                                 NULL, NULL, NULL);
    { // A short run shows no window at all.
        DialogWatcher quick(SZ_TEXT_PROGRESS_CAPTION);
        WriteBytes(dir + "\\small.txt", "small");
        ASSERT_EQ(Call("a " + Q(dir + "\\quick.7z") + " " + Q(dir + "\\small.txt"), nullptr, owner),
                  0);
        EXPECT_EQ(quick.Seen().size(), 0u);
    }
    DialogWatcher window(SZ_TEXT_PROGRESS_CAPTION);
    window.SetDefaultAnswer(IDCANCEL);
    std::string title, sizes, times;
    int position = -1;
    BOOL ownerEnabled = TRUE;
    window.SetAction([&](HWND progress) {
        for (int i = 0; i < 100 && position <= 0; i++, Sleep(100)) {
            position = (int)SendDlgItemMessageA(progress, SZ_ID_PROGRESS_BAR, PBM_GETPOS, 0, 0);
        }
        char text[256] = {0};
        GetWindowTextA(progress, text, sizeof text);
        title = text;
        GetDlgItemTextA(progress, SZ_ID_PROGRESS_SIZE, text, sizeof text);
        sizes = text;
        GetDlgItemTextA(progress, SZ_ID_PROGRESS_TIME, text, sizeof text);
        times = text;
        ownerEnabled = IsWindowEnabled(owner);
    });
    EXPECT_EQ(Call("a -t7z -mx=9 " + Q(archive) + " " + Q(dir + "\\noise.bin"), nullptr, owner),
              0x8020);
    EXPECT_EQ(title, "進行.7z - 7-zip32.dll - 処理中");
    EXPECT_GT(position, 0);
    EXPECT_EQ(sizes.substr(0, 10), "処理済み: ");
    EXPECT_NE(sizes.find(" / 全体: 40.0 MB"), std::string::npos) << sizes;
    EXPECT_EQ(times.substr(0, 10), "経過時間: ");
    EXPECT_FALSE(ownerEnabled);
    EXPECT_FALSE(FileExists(archive));
    DestroyWindow(owner);
}

} // namespace
