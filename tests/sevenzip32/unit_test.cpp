// The library's own parts from tables: the command parser and the engine's
// arguments, quoting, path mapping, result codes and the console text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "sevenzip32/call/cmdline.h"
#include "sevenzip32/engine/console.h"
#include "sevenzip32/engine/enginetext.h"
#include "sevenzip32/archive/formats.h"
#include "sevenzip32/engine/pathmap.h"
#include "sevenzip32/engine/quote.h"
#include "sevenzip32/engine/result.h"

namespace {

std::string Joined(const SzArgs& args) {
    std::string out;
    for (int i = 0; i < args.count; i++) {
        out += std::string(i ? "|" : "") + SzArgsAt(&args, i);
    }
    return out;
}

TEST(SplitCommandLine, QuotesGroupAndVanishBackslashesStay) {
    static const char* const kCases[][2] = {
        {"", ""},
        {"  x   a.7z  ", "x|a.7z"},
        {"x \"C:\\in dir\\a.7z\" -o\"D:\\out\\\"", "x|C:\\in dir\\a.7z|-oD:\\out\\"},
        {"a \"-name\"", "a|-name"},
        {"a \"\" b", "a||b"},
        {"a\tb\"c d\"e", "a|bc de"},
        // 0x95 0x5C is 表: its second byte is no separator and no escape.
        {"x \"\x95\x5C\" \x83\x5C", "x|\x95\x5C|\x83\x5C"},
    };
    for (const auto& c : kCases) {
        SzArgs tokens;
        SzArgsInit(&tokens);
        ASSERT_TRUE(SzSplitCommandLine(c[0], &tokens));
        EXPECT_EQ(Joined(tokens), c[1]) << c[0];
        SzArgsFree(&tokens);
    }
}

// A mapper standing for Wine's: absolute names get a host prefix, '?' cannot be mapped.
bool TableMapper(const SzEngineInfo*, LPCSTR name, bool absolute, LPSTR host, int hostBytes) {
    std::string out = absolute ? std::string("/host/") + name : std::string("rel:") + name;
    if (strchr(name, '?') != NULL || static_cast<int>(out.size()) >= hostBytes) {
        return false;
    }
    memcpy(host, out.c_str(), out.size() + 1);
    return true;
}

TEST(ParseCommand, TheProgramsCommandsBecomeTheseEngineArguments) {
    static const char kFixed[] = "-bsp1|-sccUTF-8|-scsUTF-8|-spd|";
    // Line, engine arguments after the letter and the fixed switches, then "@" and the names
    // of the list file (NULL: a name cannot be mapped), password (NULL none, "" to ask, else
    // the one given). The output folder is the staging folder, always fresh: -aou.
    static const std::tuple<const char*, const char*, const char*> kCases[] = {
        {"x \"D:\\in\\photos.zip\" -o\"D:\\in\\photos\"",
         "-o/host/D:\\in\\photos|-aou|/host/D:\\in\\photos.zip@", NULL},
        {"a -tzip -mx=5 -r0 \"D:\\o.zip\" \"D:\\a\" \"D:\\b c\"",
         "-tzip|-mx=5|-r0|/host/D:\\o.zip@rel:D:\\a|rel:D:\\b c", NULL},
        {"a -tzip -p -mem=AES256 -mx=9 -r0 \"o.zip\" \"a\"",
         "-tzip|-mem=AES256|-mx=9|-r0|-p|/host/o.zip@rel:a", ""},
        // Passwords reach the engine on its standard input only.
        {"a -t7z -psecret -mhe=on o.7z .\\-a", "-t7z|-mhe=on|-p|/host/o.7z@rel:.\\-a", "secret"},
        {"x -pTopSecret a.7z -o\"out\"", "-o/host/out|-aou|/host/a.7z@", "TopSecret"},
        {"t -p a.7z -hide", "/host/a.7z@", ""},
        {"A -T7Z O.7z a", "-T7Z|/host/O.7z@rel:a", NULL},
        {"l a.7z -- -r", "/host/a.7z@rel:-r", NULL},
        {"a a.7z -r- \"x\"", "-r-|/host/a.7z@rel:x", NULL},
        {"e a.7z -AOU", "/host/a.7z@", NULL},
        {"x a?.7z", NULL, NULL},
        {"x a.7z -o\"o?\"", NULL, NULL},
        {"a a.7z b?", NULL, NULL},
    };
    for (const auto& [line, want, password] : kCases) {
        SzCommand cmd;
        ASSERT_EQ(SzParseCommand(line, &cmd), SEVENZIP_OK) << line;
        SzArgs args, names;
        SzArgsInit(&args);
        SzArgsInit(&names);
        int result = SzBuildEngineArgs(&cmd, NULL, cmd.archive, cmd.outDir[0] ? cmd.outDir : NULL,
                                       TableMapper, &args, &names);
        EXPECT_EQ(result == SEVENZIP_OK ? Joined(args) + "@" + Joined(names)
                                        : "error " + std::to_string(result),
                  want ? std::string(1, line[0] | 0x20) + "|" + kFixed + want
                       : "error " + std::to_string(SEVENZIP_ERROR_COMMAND))
            << line;
        EXPECT_EQ(cmd.password != SZ_PASSWORD_NONE, password != NULL) << line;
        EXPECT_EQ(cmd.password == SZ_PASSWORD_GIVEN, password && *password) << line;
        EXPECT_STREQ(cmd.passwordText, password ? password : "") << line;
        SzArgsFree(&args);
        SzArgsFree(&names);
        SzFreeCommand(&cmd);
        EXPECT_STREQ(cmd.passwordText, "") << "the password stays in memory: " << line;
    }
}

TEST(ParseCommand, WhatTheLibraryDoesNotUnderstandIsACommandLineError) {
    // clang-format off
    static const char* const kBad[] = {
        NULL, "", "   ", "x", "q a.7z", "xx a.7z", "a a.7z", "x a.7z -o", "x a.7z -t", "x a.7z -aoz",
        "x a.7z -ao", "x a.7z -yes", "x a.7z -hidden", "x a.7z -m", "x a.7z -mx=5;rm",
        "a -t7z\"&\" a.7z b", "x a.7z -r5", "x a.7z -sdel", "x \"\""};
    // clang-format on
    for (const char* line : kBad) {
        SzCommand cmd;
        EXPECT_EQ(SzParseCommand(line, &cmd), SEVENZIP_ERROR_COMMAND) << (line ? line : "(null)");
    }
}

// Each quoted form was checked against CommandLineToArgvW, which gives the argument back.
TEST(Quote, EveryArgumentSurvivesTheWindowsSplittingRules) {
    // clang-format off
    static const char* const kCases[][2] = {
        {"plain", "plain"}, {"", "\"\""}, {"with blank", "\"with blank\""}, {"-dash", "-dash"},
        {"C:\\dir\\", "C:\\dir\\"}, {"C:\\my dir\\", "\"C:\\my dir\\\\\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""}, {"a\\\\\"b c", "\"a\\\\\\\\\\\"b c\""},
        {"\xe8\xa1\xa8 \xe3\x82\xbd", "\"\xe8\xa1\xa8 \xe3\x82\xbd\""}};
    // clang-format on
    for (const auto& c : kCases) {
        char line[256] = {0};
        ASSERT_TRUE(SzAppendQuoted(line, sizeof(line), c[0]));
        EXPECT_STREQ(line, c[1]) << c[0];
    }
    char tiny[6] = {0};
    EXPECT_FALSE(SzAppendQuoted(tiny, sizeof(tiny), "a b c"));
}

TEST(PathMap, AbsoluteNamesAreKnownAndRelativeOnesBecomeUtf8WithForwardSlashes) {
    // Code page 932 name, its UTF-8 relative spelling (NULL: an absolute name).
    // clang-format off
    static const char* const kCases[][2] = {
        {"C:\\a", NULL}, {"z:/a", NULL}, {"\\\\server\\share", NULL}, {"\\root", NULL}, {"C:a", "C:a"},
        {"a\\b.txt", "a/b.txt"}, {".\\-dash.txt", "./-dash.txt"}, {"dir\\", "dir/"},
        {"\x95\x5C", "\xe8\xa1\xa8"}, {"\x95\x5C\\\x83\x5C.txt", "\xe8\xa1\xa8/\xe3\x82\xbd.txt"}};
    // clang-format on
    for (const auto& c : kCases) {
        EXPECT_EQ(SzIsAbsoluteName(c[0]), c[1] == NULL) << c[0];
        char host[256] = {0};
        if (c[1] != NULL) {
            ASSERT_TRUE(SzRelativeToHost(c[0], host, sizeof(host))) << c[0];
            EXPECT_STREQ(host, c[1]);
        }
    }
}

TEST(PathMap, WindowsPathsBecomeHostPathsUnderWine) {
    if (!SzIsWine()) {
        GTEST_SKIP() << "host paths exist only under Wine";
    }
    char windowsDir[MAX_PATH] = {0};
    GetWindowsDirectoryA(windowsDir, MAX_PATH);
    SzEngineInfo wine = {};
    wine.wine = true;
    static const char* const kCases[][2] = {
        // After the Windows folder (code page 932), the end of the host path (UTF-8).
        {"", "/windows"},
        {"\\", "/windows"},
        {"\\\x95\x5C\\\x83\x5C.txt", "/windows/\xe8\xa1\xa8/\xe3\x82\xbd.txt"},
        {"\\new archive.7z", "/windows/new archive.7z"},
        {"\\..\\windows\\x", "/windows/x"},
    };
    for (const auto& c : kCases) {
        std::string name = std::string(windowsDir) + c[0], tail = c[1];
        char host[1024] = {0};
        ASSERT_TRUE(SzMapName(&wine, name.c_str(), false, host, sizeof(host))) << name;
        std::string got = host;
        EXPECT_EQ(got.substr(got.size() - std::min(got.size(), tail.size())), tail) << got;
        EXPECT_EQ(got[0], '/') << got;
    }
    char tiny[8] = {0};
    EXPECT_FALSE(SzMapName(&wine, windowsDir, true, tiny, sizeof(tiny)));
}

// What the real engine makes of most codes is checked end to end; these are the rest.
TEST(Result, ExitCodesAndTextsBecomeLibraryCodes) {
    // Exit code, error text, cancelled, result.
    // clang-format off
    static const std::tuple<int, const char*, bool, int> kCases[] = {
        {0, "", false, 0}, {0, "", true, 0}, {-1, "", false, 0x8102}, {42, "", false, 0x8102},
        {1, "WARNING: cannot read x.txt", false, 0x8101}, {2, "ERROR: Data Error", false, 0x8102}, {2, "ERROR: Wrong password : big.bin", false, 0x800A},
        {7, "Command Line Error", false, 0x801C}, {8, "Not enough memory", false, 0x801D},
        {255, "Break signaled", false, 0x8102}, {255, "Break signaled", true, 0x8020}};
    // clang-format on
    for (const auto& [exitCode, text, cancelled, result] : kCases) {
        EXPECT_EQ(SzMapExitCode(exitCode, text, cancelled), result) << exitCode << " " << text;
    }
}

TEST(Console, BackspacesAndCarriageReturnsFoldIntoLines) {
    static const char* const kCases[][2] = {
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
        size_t n = strlen(c[0]);
        SzConsoleFeed(&console, c[0], n / 2);
        SzConsoleFeed(&console, c[0] + n / 2, n - n / 2);
        EXPECT_STREQ(SzConsoleText(&console), c[1]);
        SzConsoleFree(&console);
    }
}

TEST(Console, ProgressLinesGivePercentAndFile) {
    // Line, percent (-1: no progress line), file.
    // clang-format off
    static const std::tuple<const char*, int, const char*> kCases[] = {
        {" 14% 1 + src/sub/big", 14, "src/sub/big"}, {"  0%", 0, ""}, {" 45% 3 U name", 45, "name"},
        {"100% 12 - \xe8\xa1\xa8/a b.txt", 100, "\xe8\xa1\xa8/a b.txt"}, {" 7% name", 7, "name"},
        {"Scanning the drive:", -1, ""}, {"150% x", -1, ""}, {"", -1, ""}};
    // clang-format on
    for (const auto& [line, want, name] : kCases) {
        int percent = -1;
        char file[64] = {0};
        EXPECT_EQ(SzParseProgress(line, &percent, file, sizeof(file)), want >= 0) << line;
        if (want >= 0) {
            EXPECT_EQ(percent, want) << line;
            EXPECT_STREQ(file, name) << line;
        }
    }
    char small[4] = {0}; // a short buffer gets the start of the name, terminated
    int percent = 0;
    ASSERT_TRUE(SzParseProgress(" 5% 1 + long-name", &percent, small, sizeof(small)));
    EXPECT_STREQ(small, "lon");
    // The progress window's total: every entry of a listing, or what a compression reads.
    EXPECT_EQ(SzListedBytes("Path = a.7z\nType = 7z\n----------\nPath = a\nSize = 3000000\n"
                            "\nPath = b\nSize = 5\nPacked Size = 9\n\nPath = d\nSize = 0\n"),
              3000005u);
    EXPECT_EQ(
        SzAddedBytes("Scanning\nAdd new data to archive: 2 files, 3000003 bytes (2930 KiB)\n"),
        3000003u);
    EXPECT_EQ(SzAddedBytes("Add new data to archive: 1 folder\nFiles read from disk: 7 bytes\n"),
              0u);
    // Stored names that lead out of the destination, from the same listing.
    SzArgs climbing;
    SzArgsInit(&climbing);
    SzListingClimbingNames("Path = /x/../a.tar\n----------\nPath = b.txt\nPath = ../b.txt\n"
                           "Path = a/../b\nPath = /b\nPath = c:/b\nPath = a\\..\\b\n"
                           "Path = ...\nPath = a..b/..c\n",
                           &climbing);
    EXPECT_EQ(Joined(climbing), "../b.txt|a/../b|/b|c:/b|a\\..\\b");
    SzArgsFree(&climbing);
}

// 'i' of 7zz 26.02, and of 7z 25.01 which (as 7z.exe) numbers each format's
// library and shows the time precision of formats it writes: same answers.
TEST(Formats, EachEngineVersionsListClassifiesAlike) {
    static const char* const kLists[] = {
        "\nFormats:\n"
        "    .........E............  ELF      elf           \x7f E L F\n"
        "    ......O...............  IHex     ihex          \n"
        "    ......................  Split    001           \n"
        "   CK.................m+..  gzip     gz gzip tgz (.tar) tpz (.tar) apk (.tar) 1F 8B 08\n",
        "\nFormats:\n"
        " 0  .........E............  ELF      elf           \x7f E L F\n"
        " 0  ......O...............  IHex     ihex          \n"
        " 0  ......................  Split    001           \n"
        " 0 CK.................m+.. .u..1  gzip     gz gzip tgz (.tar) tpz (.tar) apk (.tar) 1F 8B "
        "08\n"};
    // clang-format off
    static const std::tuple<const char*, const char*, bool> kFiles[] = {
        {"notes.txt", "plain words", false}, {"a.TGZ", "", true}, {"a.001", "", true},
        {"a.dat", "\r\n:10", true}, {"a.dat", "xx\x1F\x8B\x08", true}, {"a.dat", "\x7F" "ELF", true},
        {"a.dat", "x\x7F" "ELF", false}, {"a.dat", "\x1F\x8B\x08", true}};
    // clang-format on
    for (const char* list : kLists) {
        SzFormatTable table;
        ASSERT_TRUE(SzParseFormats(list, &table)) << list;
        for (const auto& [name, data, could] : kFiles) {
            EXPECT_EQ(SzCouldOpen(&table, name, reinterpret_cast<const BYTE*>(data), strlen(data)),
                      could)
                << name << " " << data << list;
        }
    }
}

} // namespace
