// The recording fake library logs each call's bytes exactly (handle, command
// line with its trail bytes 0x5C, output buffer) and answers from its script
// in turn: every test that reads its log relies on that.
#include <gtest/gtest.h>
#include <windows.h>
#include "tests/support/fake7z.h"
#include "tests/support/files.h"

using namespace testsupport;

TEST(FakeLibrary, LogsBytesAndAnswersResultsInTurn) {
    FakeReset("[fake]\nresults=0,0x8102\n");
    HMODULE lib = LoadLibraryA((ExeDir() + "\\7-zip32.dll").c_str());
    ASSERT_TRUE(lib != NULL);
    typedef int(WINAPI * SevenZipFn)(HWND, LPCSTR, LPSTR, DWORD);
    SevenZipFn run = (SevenZipFn)(void*)GetProcAddress(lib, "SevenZip");
    ASSERT_TRUE(run != NULL);
    EXPECT_EQ(0, run(NULL, "x \"表\\a.zip\"", NULL, 0));
    EXPECT_EQ(0x8102, run((HWND)0x1234, "a", NULL, 0));
    EXPECT_EQ(0x8102, run(NULL, "a", NULL, 0)); // the last result stays
    FreeLibrary(lib);
    EXPECT_EQ(std::vector<std::string>({"00000000\tx \"\x95\x5C\\a.zip\"\tnull\t0",
                                        "00001234\ta\tnull\t0", "00000000\ta\tnull\t0"}),
              FakeCalls("SevenZip"));
    EXPECT_EQ(std::vector<std::string>({"attach", "detach\tfree"}), FakeCalls("DllMain"));
}
