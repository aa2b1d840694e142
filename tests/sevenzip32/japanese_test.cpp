// What Japanese users read from the library: failure sentences from the
// engine's texts, and legacy ZIP names as they land on disk.
#include <gtest/gtest.h>

#include <string>

#include "sevenzip32/legacy.h"
#include "sevenzip32/messages.h"

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

} // namespace
