// Path splitting and command building at their limits: text in, text out.
#include "jobs/commands.h"
#include "jobs/inputs.h"
#include "jobs/paths.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(Paths, BaseNameAndSameFolderByCodePage932Characters) {
    ASSERT_EQ(932u, GetACP());
    // 表 is 95 5C and ソ is 83 5C: their second byte is a backslash.
    // clang-format off
    const char* cases[][3] = {
        {"D:\\in\\.profile", "", "D:\\in"}, {"C:\\", "", "C:"}, {"C:\\a.zip", "a", "C:"},
        {"\\\\srv\\share\\a.zip", "a", "\\\\srv\\share"}, {"a.zip", "a", ""}, {"C:a.zip", "a", "C:"},
        {"D:/in.x/a", "a", "D:/in.x/"}, {"C:\\data/a.zip", "a", "C:"},
        {"D:\\表\\ソ", "ソ", "D:\\表"}, {"D:\\in\\表", "表", "D:\\in"},
    };
    // clang-format on
    for (auto& c : cases) {
        ASSERT_NE(nullptr, GetBaseName(c[0])) << c[0];
        EXPECT_STREQ(c[1], GetBaseName(c[0])) << c[0];
        ASSERT_NE(nullptr, GetSameFolder(c[0])) << c[0];
        EXPECT_STREQ(c[2], GetSameFolder(c[0])) << c[0];
    }
    // A base name of 256 bytes and a directory part of 256 fit; one more does not.
    EXPECT_EQ(std::string(256, 'b'), GetBaseName(("C:\\" + std::string(256, 'b') + ".").c_str()));
    EXPECT_EQ(nullptr, GetBaseName(("C:\\" + std::string(257, 'b')).c_str()));
    std::string fitDir = "C:" + std::string(255, 'd') + "\\x", longDir = "C:\\" + fitDir.substr(2);
    EXPECT_EQ(fitDir.substr(0, 257), GetSameFolder(fitDir.c_str()));
    EXPECT_STREQ("x", GetBaseName(fitDir.c_str()));
    EXPECT_EQ(nullptr, GetBaseName(longDir.c_str()));
    EXPECT_EQ(nullptr, GetSameFolder(longDir.c_str()));
}

TEST(Commands, ArchivePathsThatDoNotFitAreRefused) {
    char out[MAX_PATH + 1];
    EXPECT_EQ(COMMAND_OK, FormatArchivePath(out, sizeof out, "C:", "", "ZIP"));
    EXPECT_STREQ("C:\\.zip", out);
    std::string folder = "C:\\" + std::string(252, 'f'); // 255 + "\\a.zip" = 261
    EXPECT_EQ(COMMAND_TOO_LONG, FormatArchivePath(out, sizeof out, folder.c_str(), "a", "ZIP"));
    EXPECT_STREQ("", out);
    EXPECT_EQ(COMMAND_OK, FormatArchivePath(out, sizeof out, folder.c_str(), "a", "7Z"));
}

std::string Compress(const char* archive, const std::vector<std::string>& paths,
                     CommandStatus expected = COMMAND_OK) {
    std::vector<PathEntry> entries(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        lstrcpynA(entries[i].path, paths[i].c_str(), sizeof entries[i].path);
    }
    size_t size = CompressionCommandSize((int)entries.size());
    std::vector<char> out(size, 'X');
    EXPECT_EQ(expected,
              BuildCompressionCommand(out.data(), size, CompressionTemplate("7Z", true, NULL),
                                      "-mx=9", archive, entries.data(), (int)entries.size()));
    return out.data();
}

TEST(Commands, CompressionCommandQuotesEveryPathWhole) {
    // Duplicates and blanks are kept; a leading "-" would make a switch.
    EXPECT_EQ("a -t7z -p -mhe=on -mx=9 -ms=off -m0=LZMA2 -r0 \".\\-ar.7z\" \".\\-sdel\" \"x\\-y\" "
              "\"D:\\a b\" \"D:\\a b\"",
              Compress("-ar.7z", {"-sdel", "x\\-y", "D:\\a b", "D:\\a b"}));
    EXPECT_EQ("", Compress("D:\\o.7z", {"D:\\a\" -sdel \"b"}, COMMAND_BAD_CHAR));
    EXPECT_EQ("", Compress("D:\\o\".7z", {"D:\\a"}, COMMAND_BAD_CHAR));
    // The longest command (the longest template) fills its buffer exactly; a size past the address
    // range is 0 instead of wrapping around.
    std::string longest = "-" + std::string(259, 'p');
    std::string command = Compress(longest.c_str(), {longest, longest, longest});
    EXPECT_EQ(CompressionCommandSize(3) - 1, command.size());
    if (sizeof(size_t) == 4) {
        EXPECT_EQ(0u, CompressionCommandSize(20000000));
    }
}

TEST(Commands, ExtractionCommands) {
    char out[EXTRACT_COMMAND_SIZE];
    EXPECT_EQ(COMMAND_OK, BuildExtractionCommand(out, sizeof out, "-ai.zip", "-x"));
    EXPECT_STREQ("x \".\\-ai.zip\" -o\".\\-x\"", out);
    EXPECT_EQ(COMMAND_BAD_CHAR, BuildExtractionCommand(out, sizeof out, "a\".zip", "C:\\out"));
    EXPECT_STREQ("", out);
    std::string longest = "-" + std::string(259, 'p');
    EXPECT_EQ(COMMAND_OK,
              BuildExtractionCommand(out, sizeof out, longest.c_str(), longest.c_str()));
    EXPECT_EQ(9u + 2 * 262, strlen(out));
}

} // namespace
