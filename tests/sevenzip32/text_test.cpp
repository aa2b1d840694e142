// Quoting, path mapping, result codes and the engine's console text, from tables.
#include <gtest/gtest.h>

#include <string>

#include "sevenzip32/archtype.h"
#include "sevenzip32/console.h"
#include "sevenzip32/pathmap.h"
#include "sevenzip32/quote.h"
#include "sevenzip32/result.h"

namespace {

TEST(Quote, EveryArgumentSurvivesTheWindowsSplittingRules) {
    static const struct {
        const char* arg;
        const char* quoted;
    } kCases[] = {
        {"plain", "plain"},
        {"", "\"\""},
        {"with blank", "\"with blank\""},
        {"C:\\dir\\", "C:\\dir\\"},
        {"C:\\my dir\\", "\"C:\\my dir\\\\\""},
        {"-dash", "-dash"},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\\\\"b c", "\"a\\\\\\\\\\\"b c\""},
        {"\xe8\xa1\xa8 \xe3\x82\xbd", "\"\xe8\xa1\xa8 \xe3\x82\xbd\""},
    };
    for (const auto& c : kCases) {
        char line[256] = {0};
        ASSERT_TRUE(SzAppendQuoted(line, sizeof(line), c.arg));
        EXPECT_STREQ(line, c.quoted) << c.arg;
        // And the platform's own splitter gives the argument back.
        std::string full = std::string("prog ") + line;
        wchar_t wide[512] = {0};
        MultiByteToWideChar(CP_UTF8, 0, full.c_str(), -1, wide, 512);
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(wide, &argc);
        ASSERT_EQ(argc, 2) << c.arg;
        char back[256] = {0};
        WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, back, sizeof(back), NULL, NULL);
        EXPECT_STREQ(back, c.arg);
        LocalFree(argv);
    }
    char tiny[6] = {0};
    EXPECT_FALSE(SzAppendQuoted(tiny, sizeof(tiny), "a b c"));
}

TEST(PathMap, RelativeNamesBecomeUtf8WithForwardSlashes) {
    static const struct {
        const char* name; // code page 932
        const char* host; // UTF-8
    } kCases[] = {
        {"a\\b.txt", "a/b.txt"},
        {".\\-dash.txt", "./-dash.txt"},
        {"\x95\x5C\\\x83\x5C.txt", "\xe8\xa1\xa8/\xe3\x82\xbd.txt"}, // 表\ソ.txt
        {"dir\\", "dir/"},
        {"\x95\x5C", "\xe8\xa1\xa8"},
    };
    for (const auto& c : kCases) {
        char host[256] = {0};
        ASSERT_TRUE(SzRelativeToHost(c.name, host, sizeof(host))) << c.name;
        EXPECT_STREQ(host, c.host);
    }
}

TEST(PathMap, AbsoluteNamesAreRecognised) {
    static const struct {
        const char* name;
        bool absolute;
    } kCases[] = {
        {"C:\\a", true},  {"z:/a", true},      {"\\\\server\\share", true},
        {"\\root", true}, {"a\\b", false},     {".\\a", false},
        {"C:a", false},   {"\x95\x5C", false},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(SzIsAbsoluteName(c.name), c.absolute) << c.name;
    }
}

TEST(PathMap, WindowsPathsBecomeHostPathsUnderWine) {
    if (!SzIsWine()) {
        GTEST_SKIP() << "host paths exist only under Wine";
    }
    char windowsDir[MAX_PATH] = {0};
    GetWindowsDirectoryA(windowsDir, MAX_PATH);
    static const struct {
        const char* tail;     // after the Windows folder, code page 932
        const char* hostTail; // expected end of the host path, UTF-8
    } kCases[] = {
        {"", "/windows"},
        {"\\", "/windows"},
        {"\\\x95\x5C\\\x83\x5C.txt", "/windows/\xe8\xa1\xa8/\xe3\x82\xbd.txt"},
        {"\\new archive.7z", "/windows/new archive.7z"},
        {"\\..\\windows\\x", "/windows/x"},
    };
    for (const auto& c : kCases) {
        std::string name = std::string(windowsDir) + c.tail;
        char host[1024] = {0};
        ASSERT_TRUE(SzMapName(name.c_str(), false, host, sizeof(host))) << name;
        std::string got = host;
        std::string tail = c.hostTail;
        ASSERT_GE(got.size(), tail.size()) << got;
        EXPECT_EQ(got.substr(got.size() - tail.size()), tail) << got;
        EXPECT_EQ(got[0], '/') << got;
    }
    char tiny[8] = {0};
    EXPECT_FALSE(SzMapName(windowsDir, true, tiny, sizeof(tiny)));
}

TEST(Result, ExitCodesAndTextsBecomeLibraryCodes) {
    static const struct {
        int exitCode;
        const char* text;
        bool cancelled;
        int result;
    } kCases[] = {
        {0, "", false, 0},
        {1, "WARNING: cannot find", false, 0x8101},
        {2, "ERROR: Data Error", false, 0x8102},
        {2, "ERROR: a.7z\nCannot open encrypted archive. Wrong password?", false, 0x800A},
        {2, "ERROR: Wrong password : big.bin", false, 0x800A},
        {7, "Command Line Error", false, 0x801C},
        {8, "Not enough memory", false, 0x801D},
        {255, "Break signaled", false, 0x8102},
        {255, "Break signaled", true, 0x8020},
        {0, "", true, 0x8020},
        {-1, "", false, 0x8102},
        {42, "", false, 0x8102},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(SzMapExitCode(c.exitCode, c.text, c.cancelled), c.result)
            << c.exitCode << " " << c.text;
    }
}

TEST(Console, BackspacesAndCarriageReturnsFoldIntoLines) {
    static const struct {
        const char* raw;
        const char* text;
    } kCases[] = {
        {"a\nb\n", "a\nb\n"},
        {"  0%\b\b\b\b    \b\b\b\b 14% 1 + big\b\b\b\b\b\b\b\b\b\b\b\b          "
         "\b\b\b\b\b\b\b\b\b\b\b\bFiles read: 2\nEverything is Ok\n",
         "Files read: 2\nEverything is Ok\n"},
        {"50%\rdone", "done"},
        {"abc\b\bX\n", "aXc\n"},
        {"\b\bok\n", "ok\n"},
        {"partial 45% x", "partial 45% x"},
    };
    for (const auto& c : kCases) {
        SzConsole console;
        SzConsoleInit(&console);
        // Fed in two pieces, as the engine's file grows between reads.
        size_t n = strlen(c.raw);
        SzConsoleFeed(&console, c.raw, n / 2);
        SzConsoleFeed(&console, c.raw + n / 2, n - n / 2);
        EXPECT_STREQ(SzConsoleText(&console), c.text);
        SzConsoleFree(&console);
    }
}

TEST(Console, ProgressLinesGivePercentAndFile) {
    static const struct {
        const char* line;
        bool ok;
        int percent;
        const char* file;
    } kCases[] = {
        {" 14% 1 + src/sub/big", true, 14, "src/sub/big"},
        {"  0%", true, 0, ""},
        {"100% 12 - \xe8\xa1\xa8/a b.txt", true, 100, "\xe8\xa1\xa8/a b.txt"},
        {" 45% 3 U name", true, 45, "name"},
        {" 7% name", true, 7, "name"},
        {"Scanning the drive:", false, 0, ""},
        {"150% x", false, 0, ""},
        {"", false, 0, ""},
    };
    for (const auto& c : kCases) {
        int percent = -1;
        char file[64] = {0};
        EXPECT_EQ(SzParseProgress(c.line, &percent, file, sizeof(file)), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(percent, c.percent) << c.line;
            EXPECT_STREQ(file, c.file) << c.line;
        }
    }
    char small[4] = {0};
    int percent = 0;
    ASSERT_TRUE(SzParseProgress(" 5% 1 + long-name", &percent, small, sizeof(small)));
    EXPECT_STREQ(small, "lon");
}

TEST(ArchiveType, CrcMatchesTheFormatsOwn) {
    static const struct {
        const char* data;
        DWORD crc;
    } kCases[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(SzCrc32(reinterpret_cast<const BYTE*>(c.data), strlen(c.data), 0), c.crc)
            << c.data;
    }
}

} // namespace
