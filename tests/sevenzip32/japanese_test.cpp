// What Japanese users read from the library: failure sentences from the
// engine's texts, and legacy ZIP names as they land on disk.
#include <gtest/gtest.h>

#include <string>

#include "sevenzip32/call/cmdline.h"
#include "sevenzip32/archive/legacy.h"
#include "sevenzip32/engine/enginetext.h"
#include "sevenzip32/base/names.h"

namespace {

TEST(DescribeFailure, EachKnownFailureGivesOneSentenceNamingTheFile) {
    static const char* const kCases[][3] = {
        // engine text (UTF-8), archive as given, sentence (code page 932)
        {"\nWARNING: errno=2 : No such file or directory\nmissing.txt\n", "a.7z",
         "「missing.txt」が見つかりません。"},
        {"WARNING: errno=2 : No such file or "
         "directory\n\xE8\xA1\xA8\xE3\x82\xBD/\xE8\x83\xBD.txt\n",
         "a.7z", "「表ソ\\能.txt」が見つかりません。"},
        {"WARNING: The system cannot find the file specified.\nC:\\data\\gone.txt\n", "a.7z",
         "「C:\\data\\gone.txt」が見つかりません。"},
        {"WARNING: errno=13 : Permission denied\nsub/secret.txt\n", "a.7z",
         "「sub\\secret.txt」にアクセスできません。"},
        {"ERROR: errno=28 : No space left on device\n", "D:\\out\\big.7z",
         "ディスクの空き容量が足りないため、「D:\\out\\big.7z」を書き込めません。"},
        {"ERROR: Data Error in encrypted file. Wrong password? : a.txt", "C:\\表\\locked.7z",
         "「C:\\表\\locked.7z」のパスワードが違います。"},
        {"ERROR: x.7z\nx.7z\nOpen ERROR: Cannot open the file as [7z] archive\n", "x.7z",
         "「x.7z」は壊れているか、対応していない形式の書庫です。"},
        {"\nCan't open as archive: 1\n", "ソ.zip",
         "「ソ.zip」は壊れているか、対応していない形式の書庫です。"},
        {"ERROR: Unsupported Method : a.txt\n", "old.zip",
         "「old.zip」には対応していない圧縮方式のファイルがあります。"},
        {"Cannot create output directory : errno=36 : File name too long : aaaa/\n", "x.7z",
         "「aaaa」のパスが長すぎます。"},
        {"Something nobody expected\n", "x.7z", ""},
    };
    for (const auto& c : kCases) {
        char sentence[512];
        memset(sentence, 'x', sizeof sentence);
        EXPECT_EQ(SzDescribeFailure(c[0], c[1], sentence, sizeof sentence), c[2][0] != '\0')
            << c[0];
        EXPECT_EQ(std::string(sentence), c[2]) << c[0];
    }
}

TEST(DecodeLegacyName, CodePage932BecomesUtf8AndEverythingElseAnEscape) {
    static const char* const kCases[][2] = {
        {"\x95\x5C\x83\x5C.txt", "\xE8\xA1\xA8\xE3\x82\xBD.txt"},   // 表ソ: trail bytes 0x5C
        {"\x83\x5C/\x94\x5C.txt", "\xE3\x82\xBD/\xE8\x83\xBD.txt"}, // ソ/能: a folder
        {"\xB6\xC5.txt", "\xEF\xBD\xB6\xEF\xBE\x85.txt"},           // half-width kana
        {"bad\x81 x\x5C.txt", "bad%81 x%5C.txt"},                   // no character, lone 0x5C
        {"end\x83", "end%83"},                                      // cut character
        {"tab\there", "tab%09here"},
    };
    for (const auto& c : kCases) {
        char utf8[256];
        SzDecodeLegacyName(reinterpret_cast<const BYTE*>(c[0]), static_cast<int>(strlen(c[0])),
                           utf8, sizeof utf8);
        EXPECT_EQ(std::string(utf8), c[1]) << c[0];
    }
}

TEST(Names, OnlyPartsWindowsHoldsExactlyArePlacedAndLegacyEscapesAreDecoded) {
    // leaf as staged, placed in a legacy ZIP (NULL: refused as it stands), placed elsewhere
    static const wchar_t* const kCases[][3] = {
        {L"表ソ.txt", L"表ソ.txt", L"表ソ.txt"},
        {L"100%.txt", L"100%.txt", L"100%.txt"},
        {L"%95%5C%83%5C.txt", L"表ソ.txt", L"%95%5C%83%5C.txt"}, // raw 表ソ, escaped by the host
        {L"bad%81 x%5C.txt", L"bad%81 x%5C.txt", L"bad%81 x%5C.txt"},
        {L"%3F%81.txt", L"%3F%81.txt", L"%3F%81.txt"},    // decodes to '?': keeps its escape
        {L"%E3%81%82%3F.txt", L"%E3%81%82%3F.txt", NULL}, // UTF-8 あ?: no legacy name
        {L"caf%E9.txt", L"caf%E9.txt", L"caf%E9.txt"},    // no code page 932 character
        {L"..", NULL, NULL},
        {L".", NULL, NULL},
        {L"", NULL, NULL},
        {L"a\\b", NULL, NULL},
        {L"a/b", NULL, NULL},
        {L"q?.txt", NULL, NULL},
        {L"a:b", NULL, NULL},
        {L"tab\there", NULL, NULL},
        {L"trail.", NULL, NULL},
        {L"blank ", NULL, NULL},
        {L"con.txt", NULL, NULL},
        {L"LPT1", NULL, NULL},
        {L"CONSOLE.txt", L"CONSOLE.txt", L"CONSOLE.txt"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(SzLeafIsSafe(c[0]), c[1] != NULL) << c[0];
        for (int legacy = 0; legacy < 2 && c[1] != NULL; legacy++) {
            wchar_t placed[MAX_PATH];
            SzLegacyLeaf(c[0], legacy == 1, placed);
            EXPECT_EQ(std::wstring(placed), legacy ? c[1] : c[0]) << c[0];
        }
    }
}

TEST(LinkRefusals, OnlyLinkErrorsLetTheRestOfTheArchiveBePlaced) {
    // the engine's error stream; links leading out, links not made (NULL: a real failure)
    static const char* const kCases[][3] = {
        {"ERROR: Dangerous link path was ignored : up : ../..\n", "up", ""},
        {"\nERROR: Dangerous link path was ignored : a/b : /etc\n\n", "a/b", ""},
        {"ERROR: Cannot create symbolic link : \x8A\xB3 : Z:\\s\\current\n"
         "ERROR: Dangerous link path was ignored : up : ..\\..\n",
         "up", "Z:\\s\\current"},
        {"ERROR: Cannot create hard link : errno=2 : No such file or directory : ./hard : "
         "/s/etc/hostname\n",
         "", "./hard"},
        {"ERROR: Cannot open output file : errno=20 : Not a directory : ./current/x.txt\n"
         "ERROR: Dangerous link path was ignored : up : ../..\n",
         NULL, NULL},
        {"ERROR: Data Error : a.txt\n", NULL, NULL},
        {"", NULL, NULL},
    };
    for (const auto& c : kCases) {
        SzArgs outside, failed;
        SzArgsInit(&outside);
        SzArgsInit(&failed);
        EXPECT_EQ(SzLinkRefusals(c[0], &outside, &failed), c[1] != NULL) << c[0];
        if (c[1] != NULL) {
            EXPECT_EQ(std::string(outside.count ? SzArgsAt(&outside, 0) : ""), c[1]) << c[0];
            EXPECT_EQ(std::string(failed.count ? SzArgsAt(&failed, 0) : ""), c[2]) << c[0];
        }
        SzArgsFree(&outside);
        SzArgsFree(&failed);
    }
}

TEST(MaskCommand, EveryTokenTheParserTakesAsAPasswordIsHidden) {
    static const char* const kCases[][2] = {
        {"x -pSecretWord e.7z -zz", "x -p*** e.7z -zz"},
        {"x a.7z -\"p\"secret -zz", "x a.7z -p*** -zz"},
        {"x \"-pmy secret\" a.7z", "x -p*** a.7z"},
        {"a -P\"two words\" -r0 \"C:\\in dir\\a.7z\" b", "a -P*** -r0 \"C:\\in dir\\a.7z\" b"},
        {"x -p a.7z", "x -p*** a.7z"},
    };
    for (const auto& c : kCases) {
        char masked[256];
        memset(masked, 'x', sizeof masked);
        SzMaskCommand(c[0], masked, sizeof masked);
        EXPECT_EQ(std::string(masked), c[1]) << c[0];
    }
}

} // namespace
