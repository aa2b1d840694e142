// The test tools themselves: the fake library answers from its script and
// logs bytes exactly; the watcher reads and answers message boxes.
#include <gtest/gtest.h>
#include <windows.h>
#include "tests/support/dialogs.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

using namespace testsupport;

typedef int(WINAPI* SevenZipFn)(HWND, LPCSTR, LPSTR, DWORD);

TEST(FakeLibrary, LogsBytesAndAnswersResultsInTurn) {
    FakeReset("[fake]\nresults=0,0x8102\n");
    HMODULE lib = LoadLibraryA((ExeDir() + "\\7-zip32.dll").c_str());
    ASSERT_TRUE(lib != NULL);
    SevenZipFn run = (SevenZipFn)(void*)GetProcAddress(lib, "SevenZip");
    ASSERT_TRUE(run != NULL);
    EXPECT_EQ(0, run(NULL, "x \"表\\a.zip\"", NULL, 0));
    EXPECT_EQ(0x8102, run((HWND)0x1234, "a", NULL, 0));
    EXPECT_EQ(0x8102, run(NULL, "a", NULL, 0));
    FreeLibrary(lib);
    std::vector<std::string> calls = FakeCalls("SevenZip");
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ("00000000\tx \"\x95\x5C\\a.zip\"\tnull\t0", calls[0]);
    EXPECT_EQ("00001234\ta\tnull\t0", calls[1]);
    EXPECT_EQ("free", FakeCalls("DllMain").back().substr(7));
}

TEST(DialogWatcher, RecordsTextAndPressesTheQueuedButton) {
    DialogWatcher watcher;
    watcher.QueueAnswers({IDYES});
    int first = MessageBoxA(NULL, "ファイルが存在します。", "Tessaro 1.1", MB_YESNO);
    int second = MessageBoxA(NULL, "二つ目", "Tessaro 1.1", MB_OK);
    EXPECT_EQ(IDYES, first);
    EXPECT_EQ(IDOK, second);
    std::vector<SeenDialog> seen = watcher.Seen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("ファイルが存在します。", seen[0].text) << Hex(seen[0].text);
    EXPECT_TRUE(seen[0].hasYesNo);
    EXPECT_FALSE(seen[1].hasYesNo);
}

TEST(QuoteArg, FollowsThePlatformSplittingRules) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"plain", "plain"},
        {"with blank", "\"with blank\""},
        {"C:\\dir with blank\\", "\"C:\\dir with blank\\\\\""},
        {"", "\"\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.out, QuoteArg(c.in)) << c.in;
    }
}
