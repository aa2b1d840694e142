// Tessaro.exe's command-line jobs with the real library and the real engine:
// what the user gets on disk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_util.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

using namespace e2e;
using testsupport::DialogWatcher;

namespace {

std::string src; // the generated tree lies in src\tree

class TessaroJob : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        src = FreshDir("tsrc");
        MakeTree(src + "\\tree");
    }
    void SetUp() override {
        stage_ = testsupport::StageTessaro("sz32e2e-stage");
        ASSERT_FALSE(stage_.empty());
    }
    // Runs Tessaro.exe on inputs with these settings after the fixed ones.
    DWORD Tessaro(const std::string& keys, const std::vector<std::string>& inputs) {
        char user[256] = {0};
        DWORD size = sizeof user;
        GetUserNameA(user, &size);
        testsupport::WriteBytes(stage_ + "\\Tessaro_" + user + ".ini",
                                "[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nDECOMPESS=SAMEPLACE\r\n"
                                "COMP_OPEN=FALSE\r\nDECOMP_OPEN=FALSE\r\nDECOMP_ALL=TRUE\r\n" +
                                    keys);
        return testsupport::RunProcess(stage_ + "\\Tessaro.exe", inputs, std::string(), 180000);
    }
    // Compresses src\from with the settings and moves the archive to work.
    void CompressInto(const std::string& keys, const std::string& from, const std::string& to) {
        ASSERT_EQ(Tessaro(keys, {src + "\\" + from}), 0u);
        ASSERT_TRUE(MoveFileA((src + "\\" + from + to.substr(to.rfind('.'))).c_str(), to.c_str()));
    }
    std::string stage_;
};

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
        std::string keys = std::string("COMP_FORMAT=") + c[0] + "\r\nCOMP_LEVEL=LEVEL" + c[1] +
                           "\r\nCOMP_ENCRYPT=" + (c[2] ? "TRUE" : "FALSE") +
                           "\r\nDECOMP_DIR=TRUE\r\n" +
                           (c[2] && *c[2] ? "COMP_ENC_METHOD=" + std::string(c[2]) + "\r\n" : "");
        SCOPED_TRACE(keys);
        std::string work = FreshDir(std::string("t") + c[0] + c[1]),
                    ext = c[0][0] == '7' ? ".7z" : ".zip";
        DialogWatcher password(kPasswordCaption);
        // The engine takes only ASCII passwords for ZIP; 7z takes any.
        password.SetAction(TypePassword(ext == ".7z" ? "Secret 表ソ" : "Secret-42"));
        ASSERT_NO_FATAL_FAILURE(CompressInto(keys, "tree", work + "\\tree" + ext))
            << Texts(library);
        ASSERT_EQ(Tessaro(keys, {work + "\\tree" + ext}), 0u);
        EXPECT_EQ(TreeDiff(src + "\\tree", work + "\\tree\\tree"), "");
        // Once for the new archive (typed twice inside), once to extract it.
        EXPECT_EQ(password.Seen().size(), c[2] ? 2u : 0u);
    }
    EXPECT_EQ(Texts(library), "");
    EXPECT_EQ(Texts(program), "");
}

TEST_F(TessaroJob, ADamagedArchiveIsCompressedNotExtracted) {
    std::string work = FreshDir("tdamaged");
    testsupport::WriteBytes(work + "\\bad.zip", "PK\x03\x04 then nothing sound at all");
    DialogWatcher library(kMessageCaption);
    ASSERT_EQ(
        Tessaro("COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL3\r\nCOMP_ENCRYPT=FALSE\r\nDECOMP_DIR=TRUE\r\n",
                {work + "\\bad.zip"}),
        0u);
    EXPECT_FALSE(testsupport::DirExists(work + "\\bad"));
    EXPECT_EQ(testsupport::ReadBytes(work + "\\bad.7z").substr(0, 6), "7z\xBC\xAF\x27\x1C");
    EXPECT_EQ(Texts(library), "");
}

TEST_F(TessaroJob, AWrongPasswordFailsAndLeavesNothing) {
    std::string work = FreshDir("twrong"), archive = work + "\\表ソ フォルダ.7z";
    std::string keys =
        "COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL1\r\nCOMP_ENCRYPT=TRUE\r\nDECOMP_DIR=TRUE\r\n";
    DialogWatcher password(kPasswordCaption), library(kMessageCaption), program;
    password.SetAction(TypePassword("right"));
    ASSERT_NO_FATAL_FAILURE(CompressInto(keys, "tree\\表ソ フォルダ", archive));
    password.SetAction(TypePassword("wrong"));
    ASSERT_EQ(Tessaro(keys, {archive}), 0u);
    EXPECT_EQ(password.Seen().size(), 2u);
    EXPECT_NE(Texts(library).find("Wrong password"), std::string::npos) << Texts(library);
    EXPECT_TRUE(ReadTree(work + "\\表ソ フォルダ").empty());
    EXPECT_EQ(Texts(program), "");
}

TEST_F(TessaroJob, AnExistingFileMeetsANoAndStaysUnchanged) {
    std::string work = FreshDir("tkeep"), archive = work + "\\sub dir.zip";
    std::string keys =
        "COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL3\r\nCOMP_ENCRYPT=FALSE\r\nDECOMP_DIR=FALSE\r\n";
    ASSERT_NO_FATAL_FAILURE(CompressInto(keys, "tree\\sub dir", archive));
    CreateDirectoryA((work + "\\sub dir").c_str(), NULL);
    testsupport::WriteBytes(work + "\\sub dir\\a.txt", "mine");
    DialogWatcher library(kMessageCaption);
    library.SetDefaultAnswer(IDNO);
    ASSERT_EQ(Tessaro(keys, {archive}), 0u);
    EXPECT_EQ(testsupport::ReadBytes(work + "\\sub dir\\a.txt"), "mine");
    EXPECT_NE(Texts(library).find("sub dir/a.txt"), std::string::npos) << Texts(library);
}

TEST_F(TessaroJob, CancellingTheProgressWindowStopsTheRun) {
    std::string work = FreshDir("tcancel");
    MakeTree(work + "\\noise", 48u * 1024u * 1024u);
    DialogWatcher library(kMessageCaption), program, cancel(kProgressCaption);
    cancel.SetDefaultAnswer(IDCANCEL);
    cancel.SetAction([](HWND) { Sleep(1000); });
    ASSERT_EQ(
        Tessaro("COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL5\r\nCOMP_ENCRYPT=FALSE\r\nDECOMP_DIR=TRUE\r\n",
                {work + "\\noise"}),
        0u);
    EXPECT_EQ(cancel.Seen().size(), 1u);
    EXPECT_FALSE(testsupport::FileExists(work + "\\noise.7z"));
    EXPECT_EQ(Texts(library), "");
    EXPECT_EQ(Texts(program), "");
}

} // namespace
