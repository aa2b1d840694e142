// Tessaro.exe started with paths, against the recording fake library beside
// it: one job with the stored settings, no window, exit code 0.
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include <gtest/gtest.h>
#include <windows.h>

using namespace testsupport;

namespace {

class ProcessJob : public ::testing::Test {
  protected:
    void SetUp() override {
        stage_ = StageTessaro("jobsexe");
        dir_ = MakeTempDir("jobsexe-in");
        ASSERT_FALSE(stage_.empty());
        SetEnvironmentVariableA("FAKE7Z_DIR", stage_.c_str());
        FakeReset("[fake]\n", stage_);
    }
    void TearDown() override {
        RemoveTree(stage_);
        RemoveTree(dir_);
    }
    void Settings(const std::string& keys) {
        char user[256] = {0};
        DWORD size = sizeof user;
        GetUserNameA(user, &size);
        WriteBytes(stage_ + "\\Tessaro_" + user + ".ini", "[Tessaro]\r\n" + keys);
    }
    // SevenZip lines of the fake's log, the input folder written as %T.
    std::vector<std::string> Runs() {
        std::vector<std::string> runs;
        for (std::string call : FakeCalls("SevenZip", stage_)) {
            for (size_t at; (at = call.find(dir_)) != std::string::npos;) {
                call.replace(at, dir_.size(), "%T");
            }
            runs.push_back(call);
        }
        return runs;
    }
    std::string stage_;
    std::string dir_;
};

TEST_F(ProcessJob, CompressesWithTheStoredSettings) {
    Settings("COMPESS=SAMEPLACE\r\nCOMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL2\r\n"
             "COMP_ENCRYPT=TRUE\r\nCOMP_ENC_METHOD=AES256\r\nCOMP_OPEN=FALSE\r\n");
    WriteBytes(dir_ + "\\report.final.docx", "doc");
    WriteBytes(dir_ + "\\表.txt", "txt");
    EXPECT_EQ(0u, RunProcess(stage_ + "\\Tessaro.exe",
                             {dir_ + "\\report.final.docx", dir_ + "\\表.txt"}));
    EXPECT_EQ(std::vector<std::string>({"00000000\ta -tzip -p -mem=AES256 -mx=3 -r0 "
                                        "\"%T\\report.final.zip\" \"%T\\report.final.docx\" "
                                        "\"%T\\表.txt\"\tnull\t0"}),
              Runs());
}

TEST_F(ProcessJob, BareNameLandsInTheWorkingFolder) {
    Settings("COMPESS=SAMEPLACE\r\nCOMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL0\r\nCOMP_ENCRYPT=FALSE\r\n"
             "COMP_OPEN=FALSE\r\n");
    WriteBytes(dir_ + "\\notes.txt", "txt");
    EXPECT_EQ(0u, RunProcess(stage_ + "\\Tessaro.exe", {"notes.txt"}, dir_));
    EXPECT_EQ(std::vector<std::string>({"00000000\ta -t7z -mhe=off -mx=0 -ms=off -m0=LZMA2 -r0 "
                                        "\"%T\\notes.7z\" \"notes.txt\"\tnull\t0"}),
              Runs());
}

TEST_F(ProcessJob, ExtractsEachArchiveIntoItsOwnFolder) {
    Settings("DECOMPESS=SAMEPLACE\r\nDECOMP_ALL=TRUE\r\nDECOMP_DIR=TRUE\r\nDECOMP_OPEN=FALSE\r\n");
    WriteBytes(dir_ + "\\photos.zip", "zip");
    WriteBytes(dir_ + "\\ソ.7z", "7z");
    EXPECT_EQ(0u, RunProcess(stage_ + "\\Tessaro.exe", {dir_ + "\\photos.zip", dir_ + "\\ソ.7z"}));
    EXPECT_EQ(std::vector<std::string>({"00000000\tx \"%T\\photos.zip\" -o\"%T\\photos\"\tnull\t0",
                                        "00000000\tx \"%T\\ソ.7z\" -o\"%T\\ソ\"\tnull\t0"}),
              Runs());
    EXPECT_TRUE(DirExists(dir_ + "\\photos"));
    EXPECT_TRUE(DirExists(dir_ + "\\ソ"));
}

} // namespace
