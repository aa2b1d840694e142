// The real library through its six entry points, driving the real engine.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "archiver/sevenzip.h"
#include "tests/e2e/e2e_util.h"
#include "tests/support/process.h"

using namespace e2e;
using testsupport::DialogWatcher;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

// The program's own binding, here to the real library beside the test.
C7ZIP& Lib() {
    static C7ZIP lib;
    return lib;
}

int Call(const std::string& cmd, std::string* output = nullptr) {
    std::vector<char> buffer(65536, '\x7F');
    int result = Lib().SevenZip(NULL, cmd.c_str(), buffer.data(), (DWORD)buffer.size());
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

std::string src; // a small tree, made once

class LibraryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(Lib().available);
        if (GetEnvironmentVariableA("SZ32_CHILD", NULL, 0) == 0) { // the child leaves it alone
            src = FreshDir("src");
            MakeTree(src, 1024 * 1024);
        }
    }
};

TEST_F(LibraryTest, ArchivesAreRecognisedByTypeWithoutPasswords) {
    EXPECT_GE(Lib().SevenZipGetVersion(), SEVENZIP_MIN_VERSION);
    EXPECT_FALSE(Lib().SevenZipGetRunning());
    std::string dir = FreshDir("types");
    InDir(dir, [&] {
        for (std::string cmd :
             {"a -t7z -r0 plain.7z", "a -tzip -r0 plain.zip",
              "a -t7z -psecret -mhe=on -r0 \"hidden names.7z\"", "a -ttar -r0 t.tar"}) {
            ASSERT_EQ(Call(cmd + " " + Q(src + "\\表.txt")), 0) << cmd;
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
    DialogWatcher messages(kMessageCaption), password(kPasswordCaption);
    password.SetDefaultAnswer(IDCANCEL);
    // A file passes the header check exactly when it has a type.
    static const std::pair<const char*, int> kTypes[] = {
        {"\\plain.7z", 2}, {"\\plain.zip", 1},     {"\\renamed.dat", 1}, {"\\hidden names.7z", 2},
        {"\\t.tar", 0},    {"\\truncated.7z", -1}, {"\\flipped.7z", -1}, {"\\cut.zip", -1},
        {"\\text.7z", -1}, {"\\empty.zip", -1},    {"\\missing.7z", -1}, {"", -1},
    };
    for (const auto& c : kTypes) {
        std::string path = dir + c.first;
        EXPECT_EQ(Lib().SevenZipCheckArchive(path.c_str(), 0), c.second >= 0) << c.first;
        EXPECT_EQ(Lib().SevenZipGetArchiveType(path.c_str()), c.second) << c.first;
    }
    EXPECT_EQ(password.Seen().size(), 0u);
    EXPECT_EQ(Texts(messages), "");
}

TEST_F(LibraryTest, FailuresReturnTheirCodesAndShowTheEngineText) {
    std::string dir = FreshDir("fail"), file = Q(src + "\\表.txt");
    ASSERT_EQ(Call("a -t7z -prightone -mhe=on " + Q(dir + "\\locked.7z") + " " + file), 0);
    ASSERT_EQ(Call("a -tzip -prightone -mem=AES256 " + Q(dir + "\\locked.zip") + " " + file), 0);
    DialogWatcher messages(kMessageCaption), password(kPasswordCaption);
    password.SetAction(TypePassword("wrongone"));
    EXPECT_EQ(Call("x " + Q(dir + "\\locked.7z") + " -o" + Q(dir + "\\out7z")), 0x800A);
    EXPECT_EQ(Call("x " + Q(dir + "\\locked.zip") + " -o" + Q(dir + "\\outzip")), 0x800A);
    EXPECT_TRUE(ReadTree(dir + "\\out7z").empty());
    EXPECT_EQ(ReadBytes(dir + "\\outzip\\表.txt"), "");
    // Cancelling the password dialog cancels the call.
    password.SetAction(nullptr);
    password.SetDefaultAnswer(IDCANCEL);
    EXPECT_EQ(Call("a -t7z -p " + Q(dir + "\\never.7z") + " " + file), 0x8020);
    EXPECT_EQ(password.Seen().size(), 3u);
    EXPECT_FALSE(testsupport::FileExists(dir + "\\never.7z"));
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
        CopyFileA((src + "\\表.txt").c_str(), "f.txt", FALSE);
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
    ASSERT_EQ(Call("a -tzip " + archive + " " + Q(src + "\\表ソ フォルダ")), 0);
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
    InDir(src, [&] {
        ASSERT_EQ(Call("a -t7z " + archive + " \".\\-dash.txt\" \"表ソ フォルダ\\\" ソ.txt 表.txt"),
                  0);
    });
    CreateDirectoryA(out.c_str(), NULL);
    WriteBytes(out + "表.txt", "mine");
    static const struct {
        int answer, result;
        const char* kept;
    } kRuns[] = {{IDNO, 0, "mine"}, {IDCANCEL, 0x8020, "mine"}, {IDYES, 0, "hyou\r\n"}};
    for (const auto& r : kRuns) {
        DialogWatcher ask(kMessageCaption);
        ask.QueueAnswers({r.answer});
        // A trailing backslash on the output folder must not swallow the quote.
        EXPECT_EQ(Call("x " + archive + " -o" + Q(out)), r.result) << r.answer;
        ASSERT_EQ(ask.Seen().size(), 1u) << r.answer;
        EXPECT_NE(ask.Seen()[0].text.find("表.txt"), std::string::npos) << ask.Seen()[0].text;
        EXPECT_EQ(ReadBytes(out + "表.txt"), r.kept) << r.answer;
        EXPECT_EQ(ReadBytes(out + "ソ.txt"), "so\r\n") << r.answer;
    }
    EXPECT_EQ(ReadBytes(out + "-dash.txt"), "leading dash\n");
    EXPECT_EQ(ReadBytes(out + "表ソ フォルダ\\深い\\もっと 深い\\ソース 表.txt"),
              "deep file with 表 and ソ");
    // Testing writes nothing: no question even where the names exist.
    DialogWatcher none(kMessageCaption);
    none.SetDefaultAnswer(IDCANCEL);
    InDir(out, [&] { EXPECT_EQ(Call("t " + archive), 0); });
    EXPECT_EQ(none.Seen().size(), 0u);
}

TEST_F(LibraryTest, CancelOrAQuitMessageStopsTheEngineAndLeavesNoArchive) {
    std::string dir = FreshDir("cancel"), archive = dir + "\\c.7z";
    MakeTree(dir + "\\tree", 40u * 1024u * 1024u);
    std::string cmd = "a -t7z -mx=9 " + Q(archive) + " " + Q(dir + "\\tree");
    // A quit message stops the run and is posted again afterwards, as a modal loop does.
    PostQuitMessage(7);
    EXPECT_EQ(Call(cmd), 0x8020);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(testsupport::FileExists(archive));
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
        childSawBusy = testsupport::RunProcess(
            testsupport::ExeDir() + "\\e2e_library_test.exe",
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
    EXPECT_FALSE(testsupport::FileExists(archive));
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
    EXPECT_EQ(Call("l " + Q(src + "\\x.7z")), 0x8102);
    SetEnvironmentVariableA("SEVENZIP32_ENGINE", NULL);
    ASSERT_TRUE(messages.WaitFor(1));
    EXPECT_NE(messages.Seen()[0].text.find("apt-get install 7zip"), std::string::npos);
    Lib().SevenZipConfigDialog(NULL, NULL, 0);
    ASSERT_TRUE(messages.WaitFor(2));
    EXPECT_NE(messages.Seen()[1].text.find("/usr/bin/7zz"), std::string::npos);
    EXPECT_NE(messages.Seen()[1].text.find("7-Zip (z)"), std::string::npos) << Texts(messages);
}

} // namespace
