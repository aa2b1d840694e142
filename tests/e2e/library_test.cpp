// The real library through its six entry points, driving the real engine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archiver/sevenzip.h"
#include "tests/e2e/e2e_util.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

using namespace e2e;

namespace {

struct Library {
    HMODULE module = NULL;
#define FIELD(result, name, params) name##Fn name = NULL;
    SEVENZIP_ENTRY_POINTS(FIELD)
#undef FIELD
    Library() {
        module = LoadLibraryA(".\\7-zip32.dll");
#define LOOKUP(result, name, params)                                                               \
    name = reinterpret_cast<name##Fn>(reinterpret_cast<void*>(GetProcAddress(module, #name)));
        SEVENZIP_ENTRY_POINTS(LOOKUP)
#undef LOOKUP
    }
    ~Library() {
        FreeLibrary(module);
    }
};

Library& Lib() {
    static Library lib;
    return lib;
}

int Call(const std::string& cmd, std::string* output = nullptr) {
    std::vector<char> buffer(65536, '\x7F');
    int result =
        Lib().SevenZip(NULL, cmd.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (output != nullptr) {
        *output = buffer.data();
    }
    return result;
}

std::string Q(const std::wstring& path) {
    return "\"" + Acp(path) + "\"";
}

class LibraryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_NE(Lib().module, nullptr);
        if (GetEnvironmentVariableA("SZ32_CHILD", NULL, 0) != 0) {
            return; // the parent's files stay as they are
        }
        src_ = new std::wstring(FreshDir(L"src"));
        MakeTree(*src_, 1024 * 1024);
    }
    static std::wstring* src_;
};
std::wstring* LibraryTest::src_ = nullptr;

TEST_F(LibraryTest, VersionAndIdleState) {
    EXPECT_GE(Lib().SevenZipGetVersion(), SEVENZIP_MIN_VERSION);
    EXPECT_FALSE(Lib().SevenZipGetRunning());
}

TEST_F(LibraryTest, ArchivesAreRecognisedByTypeWithoutPasswords) {
    std::wstring dir = FreshDir(L"types");
    std::wstring plain7z = dir + L"\\plain.7z", zip = dir + L"\\plain.zip";
    std::wstring hidden = dir + L"\\hidden names.7z", tar = dir + L"\\t.tar";
    ASSERT_EQ(Call("a -t7z -r0 " + Q(plain7z) + " " + Q(*src_ + L"\\表.txt")), 0);
    ASSERT_EQ(Call("a -tzip -r0 " + Q(zip) + " " + Q(*src_ + L"\\表.txt")), 0);
    ASSERT_EQ(Call("a -t7z -psecret -mhe=on -r0 " + Q(hidden) + " " + Q(*src_ + L"\\ソ.txt")), 0);
    ASSERT_EQ(Call("a -ttar -r0 " + Q(tar) + " " + Q(*src_ + L"\\ソ.txt")), 0);
    std::string bytes = FileBytes(plain7z);
    CopyFileW(zip.c_str(), (dir + L"\\renamed.dat").c_str(), FALSE);
    std::string truncated = bytes.substr(0, bytes.size() - 10);
    std::string flipped = bytes;
    flipped[bytes.size() - 5] ^= 0x55; // inside the end header
    std::string zipBytes = FileBytes(zip);
    HANDLE f;
    DWORD n;
    auto put = [&](const std::wstring& name, const std::string& b) {
        f = CreateFileW(name.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        WriteFile(f, b.data(), static_cast<DWORD>(b.size()), &n, NULL);
        CloseHandle(f);
    };
    put(dir + L"\\truncated.7z", truncated);
    put(dir + L"\\flipped.7z", flipped);
    put(dir + L"\\cut.zip", zipBytes.substr(0, zipBytes.size() / 2));
    put(dir + L"\\text.7z", "7z but only text");
    put(dir + L"\\empty.zip", "");

    Boxes messages(kMessageCaption, IDOK);
    WindowAnswerer noPassword(kPasswordCaption, TypePassword(L""));
    static const struct {
        const wchar_t* name;
        BOOL check;
        int type;
    } kCases[] = {
        {L"\\plain.7z", TRUE, 2},     {L"\\plain.zip", TRUE, 1},
        {L"\\renamed.dat", TRUE, 1},  {L"\\hidden names.7z", TRUE, 2},
        {L"\\t.tar", TRUE, 0},        {L"\\truncated.7z", FALSE, -1},
        {L"\\flipped.7z", FALSE, -1}, {L"\\cut.zip", FALSE, -1},
        {L"\\text.7z", FALSE, -1},    {L"\\empty.zip", FALSE, -1},
        {L"\\missing.7z", FALSE, -1}, {L"", FALSE, -1},
    };
    for (const auto& c : kCases) {
        std::string path = Acp(dir + c.name);
        EXPECT_EQ(Lib().SevenZipCheckArchive(path.c_str(), 0), c.check) << Utf8(c.name);
        EXPECT_EQ(Lib().SevenZipGetArchiveType(path.c_str()), c.type) << Utf8(c.name);
    }
    EXPECT_EQ(noPassword.Count(), 0);
    EXPECT_EQ(messages.All(), L"");
}

TEST_F(LibraryTest, NamesKeepBlanksDashesAndJapaneseCharacters) {
    std::wstring dir = FreshDir(L"names");
    std::wstring archive = dir + L"\\名前 表.7z";
    // Relative names from the current folder, one behind ".\" so its dash is no switch.
    wchar_t old[MAX_PATH] = {0};
    GetCurrentDirectoryW(MAX_PATH, old);
    SetCurrentDirectoryW(src_->c_str());
    int result = Call("a -t7z " + Q(archive) + " \".\\-dash.txt\" \"表ソ フォルダ\\\" ソ.txt");
    SetCurrentDirectoryW(old);
    ASSERT_EQ(result, 0);
    std::wstring out = dir + L"\\out\\";
    std::string listing;
    ASSERT_EQ(Call("l " + Q(archive), &listing), 0);
    EXPECT_NE(listing.find("-dash.txt"), std::string::npos) << listing;
    EXPECT_NE(listing.find(Acp(L"表ソ フォルダ/深い/もっと 深い/ソース 表.txt")), std::string::npos)
        << listing;
    // A trailing backslash on the output folder must not swallow the quote.
    ASSERT_EQ(Call("x " + Q(archive) + " -o" + Q(out)), 0);
    EXPECT_EQ(FileBytes(out + L"ソ.txt"), "so\r\n");
    EXPECT_EQ(FileBytes(out + L"-dash.txt"), "leading dash\n");
    EXPECT_EQ(FileBytes(out + L"表ソ フォルダ\\深い\\もっと 深い\\ソース 表.txt"),
              "deep file with 表 and ソ");
}

TEST_F(LibraryTest, FailuresReturnTheirCodesAndShowTheEngineText) {
    std::wstring dir = FreshDir(L"fail");
    std::wstring archive = dir + L"\\locked.7z";
    ASSERT_EQ(Call("a -t7z -prightone -mhe=on " + Q(archive) + " " + Q(*src_ + L"\\表.txt")), 0);
    std::wstring zip = dir + L"\\locked.zip";
    ASSERT_EQ(Call("a -tzip -prightone -mem=AES256 " + Q(zip) + " " + Q(*src_ + L"\\表.txt")), 0);
    Boxes messages(kMessageCaption, IDOK);
    {
        WindowAnswerer wrong(kPasswordCaption, TypePassword(L"wrongone"));
        EXPECT_EQ(Call("x " + Q(archive) + " -o" + Q(dir + L"\\out7z")), 0x800A);
        EXPECT_EQ(Call("x " + Q(zip) + " -o" + Q(dir + L"\\outzip")), 0x800A);
        EXPECT_EQ(wrong.Count(), 2);
    }
    EXPECT_EQ(ReadTree(dir + L"\\out7z").size(), 0u);
    EXPECT_EQ(FileBytes(dir + L"\\outzip\\表.txt"), "");
    {
        WindowAnswerer cancel(kPasswordCaption, TypePassword(L""));
        EXPECT_EQ(Call("a -t7z -p " + Q(dir + L"\\never.7z") + " " + Q(*src_ + L"\\表.txt")),
                  0x8020);
        EXPECT_EQ(cancel.Count(), 1);
    }
    EXPECT_EQ(GetFileAttributesW((dir + L"\\never.7z").c_str()), INVALID_FILE_ATTRIBUTES);
    static const struct {
        const char* cmd;
        int result;
    } kBad[] = {
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
    // Relative names land in the test's own folder.
    wchar_t old[MAX_PATH] = {0};
    GetCurrentDirectoryW(MAX_PATH, old);
    SetCurrentDirectoryW(dir.c_str());
    CopyFileW((*src_ + L"\\表.txt").c_str(), L"f.txt", FALSE);
    for (const auto& c : kBad) {
        EXPECT_EQ(Call(c.cmd), c.result) << c.cmd;
    }
    SetCurrentDirectoryW(old);
    std::wstring all = messages.All();
    EXPECT_NE(all.find(L"Wrong password"), std::wstring::npos) << Utf8(all);
    EXPECT_NE(all.find(L"コマンドラインが正しくありません"), std::wstring::npos) << Utf8(all);
}

TEST_F(LibraryTest, OutputIsBoundedAndTerminatedAtWholeCharacters) {
    std::wstring dir = FreshDir(L"out");
    std::wstring archive = dir + L"\\o.zip";
    ASSERT_EQ(Call("a -tzip " + Q(archive) + " " + Q(*src_ + L"\\表ソ フォルダ")), 0);
    std::string listing;
    ASSERT_EQ(Call("l " + Q(archive), &listing), 0);
    size_t japanese = listing.find(Acp(L"表ソ フォルダ/深い"));
    ASSERT_NE(japanese, std::string::npos) << listing;
    EXPECT_EQ(listing.find('\b'), std::string::npos);
    // Sizes that end the text on, inside and after the first two-byte character.
    for (DWORD size : {DWORD(1), DWORD(2), DWORD(17), static_cast<DWORD>(japanese + 1),
                       static_cast<DWORD>(japanese + 2), static_cast<DWORD>(japanese + 3)}) {
        std::vector<char> buffer(size + 8, '\x7F');
        ASSERT_EQ(Lib().SevenZip(NULL, ("l " + Q(archive)).c_str(), buffer.data(), size), 0);
        std::string got = buffer.data();
        EXPECT_LT(got.size(), size);
        EXPECT_GE(got.size() + 1, size - 1) << size;
        EXPECT_EQ(buffer[size], '\x7F') << size;
        EXPECT_EQ(listing.compare(0, got.size(), got), 0) << size;
        EXPECT_GT(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, got.c_str(), -1, NULL, 0), 0)
            << size;
    }
}

TEST_F(LibraryTest, ExistingFilesAreKeptWhenTheAnswerIsNo) {
    std::wstring dir = FreshDir(L"keep");
    std::wstring archive = dir + L"\\k.7z";
    ASSERT_EQ(
        Call("a -t7z " + Q(archive) + " " + Q(*src_ + L"\\表.txt") + " " + Q(*src_ + L"\\ソ.txt")),
        0);
    std::wstring out = dir + L"\\out";
    CreateDirectoryW(out.c_str(), NULL);
    HANDLE f =
        CreateFileW((out + L"\\表.txt").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD n;
    WriteFile(f, "mine", 4, &n, NULL);
    CloseHandle(f);
    {
        WindowAnswerer no(kMessageCaption, Press(IDNO));
        EXPECT_EQ(Call("x " + Q(archive) + " -o" + Q(out)), 0);
        EXPECT_EQ(no.Count(), 1);
    }
    EXPECT_EQ(FileBytes(out + L"\\表.txt"), "mine");
    EXPECT_EQ(FileBytes(out + L"\\ソ.txt"), "so\r\n");
    {
        WindowAnswerer cancel(kMessageCaption, Press(IDCANCEL));
        EXPECT_EQ(Call("x " + Q(archive) + " -o" + Q(out)), 0x8020);
    }
    EXPECT_EQ(FileBytes(out + L"\\表.txt"), "mine");
    {
        WindowAnswerer yes(kMessageCaption, Press(IDYES));
        EXPECT_EQ(Call("x " + Q(archive) + " -o" + Q(out)), 0);
    }
    EXPECT_EQ(FileBytes(out + L"\\表.txt"), "hyou\r\n");
    // Testing writes nothing: no question even where the names exist.
    wchar_t old[MAX_PATH] = {0};
    GetCurrentDirectoryW(MAX_PATH, old);
    SetCurrentDirectoryW(out.c_str());
    {
        WindowAnswerer cancel(kMessageCaption, Press(IDCANCEL));
        EXPECT_EQ(Call("t " + Q(archive)), 0);
        EXPECT_EQ(cancel.Count(), 0);
    }
    SetCurrentDirectoryW(old);
}

TEST_F(LibraryTest, CancelStopsTheEngineAndLeavesNoArchive) {
    std::wstring dir = FreshDir(L"cancel");
    MakeTree(dir + L"\\tree", 40u * 1024u * 1024u);
    std::wstring archive = dir + L"\\c.7z";
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, NULL,
                                 NULL, NULL, NULL);
    std::atomic<int> busy(-1), ownerEnabled(-1), owned(-1);
    std::atomic<DWORD> childSawBusy(99);
    WindowAnswerer cancel(
        kProgressCaption,
        [&](HWND progress) {
            // Seen from another thread while the call runs, as by a modal dialog.
            busy = Lib().SevenZipGetRunning();
            SetEnvironmentVariableA("SZ32_CHILD", "1");
            childSawBusy = testsupport::RunProcess(
                testsupport::ExeDir() + "\\e2e_library_test.exe",
                {"--gtest_filter=LibraryTest.AnotherProcessSeesTheLibraryBusy"});
            SetEnvironmentVariableA("SZ32_CHILD", NULL);
            ownerEnabled = IsWindowEnabled(owner);
            owned = GetWindow(progress, GW_OWNER) == owner;
            Press(IDCANCEL)(progress);
        },
        700);
    std::string cmd = "a -t7z -mx=9 " + Q(archive) + " " + Q(dir + L"\\tree");
    EXPECT_EQ(Lib().SevenZip(owner, cmd.c_str(), NULL, 0), 0x8020);
    EXPECT_EQ(cancel.Count(), 1);
    EXPECT_EQ(busy, TRUE);
    EXPECT_EQ(childSawBusy, 0u);
    EXPECT_EQ(ownerEnabled, FALSE);
    EXPECT_EQ(owned, TRUE);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
    EXPECT_FALSE(Lib().SevenZipGetRunning());
    EXPECT_EQ(GetFileAttributesW(archive.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Run as a child of the cancel test while its call runs.
TEST_F(LibraryTest, AnotherProcessSeesTheLibraryBusy) {
    if (GetEnvironmentVariableA("SZ32_CHILD", NULL, 0) == 0) {
        GTEST_SKIP() << "runs only as the child of the cancel test";
    }
    EXPECT_TRUE(Lib().SevenZipGetRunning());
}

TEST_F(LibraryTest, AQuitMessageStopsTheRunAndIsHandedOn) {
    std::wstring dir = FreshDir(L"quit");
    MakeTree(dir + L"\\tree", 16u * 1024u * 1024u);
    PostQuitMessage(7);
    EXPECT_EQ(Call("a -t7z -mx=9 " + Q(dir + L"\\q.7z") + " " + Q(dir + L"\\tree")), 0x8020);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(GetFileAttributesW((dir + L"\\q.7z").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LibraryTest, AMissingEngineIsNamedWithItsPackage) {
    SetEnvironmentVariableA("SEVENZIP32_ENGINE", "/nonexistent/7zz");
    Boxes messages(kMessageCaption, IDOK);
    int result = Call("l " + Q(*src_ + L"\\x.7z"));
    SetEnvironmentVariableA("SEVENZIP32_ENGINE", NULL);
    EXPECT_EQ(result, 0x8102);
    std::wstring all = messages.All();
    EXPECT_NE(all.find(L"7zz"), std::wstring::npos) << Utf8(all);
    EXPECT_NE(all.find(L"apt-get install 7zip"), std::wstring::npos) << Utf8(all);
}

TEST_F(LibraryTest, ConfigDialogNamesTheEngine) {
    Boxes messages(kMessageCaption, IDOK);
    Lib().SevenZipConfigDialog(NULL, NULL, 0);
    std::wstring all = messages.All();
    EXPECT_NE(all.find(L"/usr/bin/7zz"), std::wstring::npos) << Utf8(all);
    EXPECT_NE(all.find(L"7-Zip (z)"), std::wstring::npos) << Utf8(all);
}

} // namespace
