// Tessaro.exe's command-line jobs with the real library and the real engine:
// what the user gets on disk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archiver/sevenzip.h"
#include "tests/e2e/e2e_util.h"
#include "tests/support/process.h"

using namespace e2e;

namespace {

class TessaroJob : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        src_ = new std::wstring(FreshDir(L"tsrc"));
        MakeTree(*src_ + L"\\tree");
    }
    void SetUp() override {
        stage_ = testsupport::StageTessaro("sz32e2e-stage");
        ASSERT_FALSE(stage_.empty());
    }
    void Settings(const std::string& keys) {
        char user[256] = {0};
        DWORD size = sizeof user;
        GetUserNameA(user, &size);
        std::string ini = "[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nDECOMPESS=SAMEPLACE\r\n"
                          "COMP_OPEN=FALSE\r\nDECOMP_OPEN=FALSE\r\nDECOMP_ALL=TRUE\r\n" +
                          keys;
        HANDLE f = CreateFileA((stage_ + "\\Tessaro_" + user + ".ini").c_str(), GENERIC_WRITE, 0,
                               NULL, CREATE_ALWAYS, 0, NULL);
        DWORD n = 0;
        WriteFile(f, ini.data(), static_cast<DWORD>(ini.size()), &n, NULL);
        CloseHandle(f);
    }
    DWORD Tessaro(const std::vector<std::wstring>& inputs) {
        std::vector<std::string> args;
        for (const auto& input : inputs) {
            args.push_back(Acp(input));
        }
        return testsupport::RunProcess(stage_ + "\\Tessaro.exe", args, std::string(), 180000);
    }
    static std::wstring* src_;
    std::string stage_;
};
std::wstring* TessaroJob::src_ = nullptr;

TEST_F(TessaroJob, TreesComeBackWholeFromEveryFormatLevelAndMethod) {
    static const struct {
        const char* keys;
        const wchar_t* extension;
        bool encrypted;
    } kCases[] = {
        {"COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL0\r\nCOMP_ENCRYPT=FALSE\r\n", L".7z", false},
        {"COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL3\r\nCOMP_ENCRYPT=FALSE\r\n", L".7z", false},
        {"COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL5\r\nCOMP_ENCRYPT=TRUE\r\n", L".7z", true},
        {"COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL0\r\nCOMP_ENCRYPT=FALSE\r\n", L".zip", false},
        {"COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL2\r\nCOMP_ENCRYPT=FALSE\r\n", L".zip", false},
        {"COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL3\r\nCOMP_ENCRYPT=TRUE\r\nCOMP_ENC_METHOD="
         "ZipCrypto\r\n",
         L".zip", true},
        {"COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL1\r\nCOMP_ENCRYPT=TRUE\r\nCOMP_ENC_METHOD=AES128\r\n",
         L".zip", true},
        {"COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL4\r\nCOMP_ENCRYPT=TRUE\r\nCOMP_ENC_METHOD=AES256\r\n",
         L".zip", true},
    };
    Boxes library(kMessageCaption, IDOK);
    Boxes program(L"Tessaro 1.1", IDNO);
    int n = 0;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.keys);
        std::wstring work = FreshDir(L"tcase" + std::to_wstring(n++));
        std::wstring made = *src_ + L"\\tree" + c.extension;
        std::wstring archive = work + L"\\tree" + c.extension;
        Settings(std::string(c.keys) + "DECOMP_DIR=TRUE\r\n");
        // The engine takes only ASCII passwords for ZIP; 7z takes any.
        std::wstring typed = std::wstring(c.extension) == L".7z" ? L"Secret 表ソ" : L"Secret-42";
        WindowAnswerer password(kPasswordCaption, TypePassword(typed));
        ASSERT_EQ(Tessaro({*src_ + L"\\tree"}), 0u);
        ASSERT_TRUE(MoveFileW(made.c_str(), archive.c_str())) << Utf8(library.All());
        ASSERT_EQ(Tessaro({archive}), 0u);
        EXPECT_EQ(CompareTrees(*src_ + L"\\tree", work + L"\\tree\\tree"), "");
        // Once for the new archive (typed twice inside), once to extract it.
        EXPECT_EQ(password.Count(), c.encrypted ? 2 : 0);
    }
    EXPECT_EQ(library.All(), L"");
    EXPECT_EQ(program.All(), L"");
}

TEST_F(TessaroJob, ADamagedArchiveIsCompressedNotExtracted) {
    std::wstring work = FreshDir(L"tdamaged");
    HANDLE f =
        CreateFileW((work + L"\\bad.zip").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD n = 0;
    WriteFile(f, "PK\x03\x04 then nothing sound at all", 33, &n, NULL);
    CloseHandle(f);
    Settings("COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL3\r\nCOMP_ENCRYPT=FALSE\r\nDECOMP_DIR=TRUE\r\n");
    Boxes library(kMessageCaption, IDOK);
    ASSERT_EQ(Tessaro({work + L"\\bad.zip"}), 0u);
    EXPECT_EQ(GetFileAttributesW((work + L"\\bad").c_str()), INVALID_FILE_ATTRIBUTES);
    HMODULE lib = LoadLibraryA(".\\7-zip32.dll");
    auto type = reinterpret_cast<SevenZipGetArchiveTypeFn>(
        reinterpret_cast<void*>(GetProcAddress(lib, "SevenZipGetArchiveType")));
    EXPECT_EQ(type(Acp(work + L"\\bad.7z").c_str()), 2);
    FreeLibrary(lib);
    EXPECT_EQ(library.All(), L"");
}

TEST_F(TessaroJob, AWrongPasswordFailsAndLeavesNothing) {
    std::wstring work = FreshDir(L"twrong");
    Settings("COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL1\r\nCOMP_ENCRYPT=TRUE\r\nDECOMP_DIR=TRUE\r\n");
    {
        WindowAnswerer password(kPasswordCaption, TypePassword(L"right"));
        ASSERT_EQ(Tessaro({*src_ + L"\\tree\\表ソ フォルダ"}), 0u);
    }
    std::wstring archive = work + L"\\locked.7z";
    ASSERT_TRUE(MoveFileW((*src_ + L"\\tree\\表ソ フォルダ.7z").c_str(), archive.c_str()));
    Boxes library(kMessageCaption, IDOK);
    WindowAnswerer password(kPasswordCaption, TypePassword(L"wrong"));
    ASSERT_EQ(Tessaro({archive}), 0u);
    EXPECT_EQ(password.Count(), 1);
    EXPECT_NE(library.All().find(L"Wrong password"), std::wstring::npos) << Utf8(library.All());
    EXPECT_EQ(ReadTree(work + L"\\locked").size(), 0u);
}

TEST_F(TessaroJob, AnExistingFileMeetsANoAndStaysUnchanged) {
    std::wstring work = FreshDir(L"tkeep");
    Settings("COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL3\r\nCOMP_ENCRYPT=FALSE\r\nDECOMP_DIR=FALSE\r\n");
    ASSERT_EQ(Tessaro({*src_ + L"\\tree\\sub dir"}), 0u);
    std::wstring archive = work + L"\\sub dir.zip";
    ASSERT_TRUE(MoveFileW((*src_ + L"\\tree\\sub dir.zip").c_str(), archive.c_str()));
    CreateDirectoryW((work + L"\\sub dir").c_str(), NULL);
    HANDLE f = CreateFileW((work + L"\\sub dir\\a.txt").c_str(), GENERIC_WRITE, 0, NULL,
                           CREATE_ALWAYS, 0, NULL);
    DWORD n = 0;
    WriteFile(f, "mine", 4, &n, NULL);
    CloseHandle(f);
    Boxes library(kMessageCaption, IDNO);
    ASSERT_EQ(Tessaro({archive}), 0u);
    EXPECT_EQ(FileBytes(work + L"\\sub dir\\a.txt"), "mine");
    EXPECT_NE(library.All().find(L"sub dir/a.txt"), std::wstring::npos) << Utf8(library.All());
}

TEST_F(TessaroJob, CancellingTheProgressWindowStopsTheRun) {
    std::wstring work = FreshDir(L"tcancel");
    MakeTree(work + L"\\noise", 48u * 1024u * 1024u);
    Settings("COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL5\r\nCOMP_ENCRYPT=FALSE\r\nDECOMP_DIR=TRUE\r\n");
    Boxes library(kMessageCaption, IDOK);
    WindowAnswerer cancel(kProgressCaption, Press(IDCANCEL), 1000);
    ASSERT_EQ(Tessaro({work + L"\\noise"}), 0u);
    EXPECT_EQ(cancel.Count(), 1);
    EXPECT_EQ(GetFileAttributesW((work + L"\\noise.7z").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(library.All(), L"");
}

} // namespace
