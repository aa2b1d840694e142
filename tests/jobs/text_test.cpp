// Path splitting and command building: text in, text out, no windows.
#include "jobs/commands.h"
#include "jobs/inputs.h"
#include "jobs/paths.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct PathCase {
    const char* path;
    const char* baseName; // NULL: refused as too long
    const char* sameFolder;
};

// 表 is 95 5C and ソ is 83 5C in code page 932: their second byte is a backslash.
const PathCase kPathCases[] = {
    {"D:\\in\\report.final.docx", "report.final", "D:\\in"},
    {"D:\\in\\photos.2011", "photos", "D:\\in"},
    {"D:\\in\\.profile", "", "D:\\in"},
    {"C:\\", "", "C:"},
    {"C:\\a.zip", "a", "C:"},
    {"C:\\data\\sub", "sub", "C:\\data"},
    {"\\\\srv\\share\\a.zip", "a", "\\\\srv\\share"},
    {"a.zip", "a", ""},
    {"C:a.zip", "a", "C:"},
    {"D:/in.x/a", "a", "D:/in.x/"},
    {"C:\\data/a.zip", "a", "C:"},
    {"D:\\表\\ソ", "ソ", "D:\\表"},
    {"D:\\表\\ソ.zip", "ソ", "D:\\表"},
    {"D:\\in\\表", "表", "D:\\in"},
};

TEST(Paths, CodePageIs932) {
    ASSERT_EQ(932u, GetACP());
}

TEST(Paths, BaseNameAndSameFolder) {
    for (const PathCase& c : kPathCases) {
        SCOPED_TRACE(c.path);
        const char* base = GetBaseName(c.path);
        ASSERT_NE(nullptr, base);
        EXPECT_EQ(std::string(c.baseName), base);
        const char* same = GetSameFolder(c.path);
        ASSERT_NE(nullptr, same);
        EXPECT_EQ(std::string(c.sameFolder), same);
    }
}

TEST(Paths, PartsThatDoNotFitAreRefused) {
    std::string longBase = "C:\\" + std::string(257, 'b');        // 260 bytes
    std::string fitBase = "C:\\" + std::string(256, 'b') + ".";   // 260 bytes
    std::string longDir = "C:\\" + std::string(255, 'd') + "\\x"; // dir of 257
    std::string fitDir = "C:" + std::string(255, 'd') + "\\x";    // dir of 256
    EXPECT_EQ(nullptr, GetBaseName(longBase.c_str()));
    EXPECT_EQ(std::string(256, 'b'), GetBaseName(fitBase.c_str()));
    EXPECT_EQ(nullptr, GetBaseName(longDir.c_str()));
    EXPECT_EQ(nullptr, GetSameFolder(longDir.c_str()));
    EXPECT_EQ(std::string("x"), GetBaseName(fitDir.c_str()));
    EXPECT_EQ("C:" + std::string(255, 'd'), GetSameFolder(fitDir.c_str()));
}

TEST(Paths, TrimTrailingBackslash) {
    const char* cases[][2] = {{"C:\\", "C:"},         {"D:\\out\\", "D:\\out"},
                              {"D:\\out", "D:\\out"}, {"D:\\ソ", "D:\\ソ"},
                              {"D:\\表\\", "D:\\表"}, {"", ""}};
    for (auto& c : cases) {
        char buffer[MAX_PATH + 1] = {0};
        strcpy(buffer, c[0]);
        TrimTrailingBackslash(buffer);
        EXPECT_STREQ(c[1], buffer) << c[0];
    }
}

TEST(Commands, ArchivePaths) {
    struct {
        const char* folder;
        const char* base;
        const char* format;
        CommandStatus status;
        const char* expected;
    } cases[] = {
        {"D:\\out", "photos", "ZIP", COMMAND_OK, "D:\\out\\photos.zip"},
        {"D:\\out", "photos", "7Z", COMMAND_OK, "D:\\out\\photos.7z"},
        {"C:", "", "ZIP", COMMAND_OK, "C:\\.zip"},
        {"D:\\表", "ソ", "7Z", COMMAND_OK, "D:\\表\\ソ.7z"},
        {"D:\\out", "photos", "RAR", COMMAND_BAD_OPTION, ""},
    };
    for (auto& c : cases) {
        char out[MAX_PATH + 1];
        EXPECT_EQ(c.status, FormatArchivePath(out, sizeof out, c.folder, c.base, c.format));
        EXPECT_STREQ(c.expected, out);
    }
    std::string folder = "C:\\" + std::string(252, 'f'); // 255 + "\\a.zip" = 261
    char out[MAX_PATH + 1];
    EXPECT_EQ(COMMAND_TOO_LONG, FormatArchivePath(out, sizeof out, folder.c_str(), "a", "ZIP"));
    EXPECT_STREQ("", out);
    EXPECT_EQ(COMMAND_OK, FormatArchivePath(out, sizeof out, folder.c_str(), "a", "7Z"));
}

std::vector<PathEntry> Entries(const std::vector<std::string>& paths) {
    std::vector<PathEntry> entries(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        memset(&entries[i], 0, sizeof entries[i]);
        strcpy(entries[i].path, paths[i].c_str());
    }
    return entries;
}

std::string Compress(const char* tmpl, const char* level, const char* archive,
                     const std::vector<std::string>& paths, CommandStatus expected = COMMAND_OK) {
    std::vector<PathEntry> entries = Entries(paths);
    size_t size = CompressionCommandSize((int)entries.size());
    std::vector<char> out(size, 'X');
    EXPECT_EQ(expected, BuildCompressionCommand(out.data(), size, tmpl, level, archive,
                                                entries.data(), (int)entries.size()));
    return out.data();
}

TEST(Commands, CompressionCommands) {
    const char* sevenZip = CompressionTemplate("7Z", false, NULL);
    EXPECT_EQ(
        "a -t7z -mhe=off -mx=9 -ms=off -m0=LZMA2 -r0 \"D:\\out\\photos.7z\" "
        "\"D:\\in\\photos\" \"D:\\in\\notes.txt\"",
        Compress(sevenZip, "-mx=9", "D:\\out\\photos.7z", {"D:\\in\\photos", "D:\\in\\notes.txt"}));
    // No level leaves two blanks; duplicates and blanks in names are kept.
    EXPECT_EQ("a -tzip  -r0 \"D:\\out\\a b.zip\" \"D:\\in\\a b.txt\" \"D:\\in\\a b.txt\"",
              Compress(CompressionTemplate("ZIP", false, NULL), "", "D:\\out\\a b.zip",
                       {"D:\\in\\a b.txt", "D:\\in\\a b.txt"}));
    // A path beginning with "-" would be a switch.
    EXPECT_EQ("a -tzip -p -mem=AES128 -mx=3 -r0 \".\\-ar.zip\" \".\\-sdel\" \"x\\-y\"",
              Compress(CompressionTemplate("ZIP", true, "AES128"), "-mx=3", "-ar.zip",
                       {"-sdel", "x\\-y"}));
    EXPECT_EQ("", Compress(sevenZip, "", "D:\\o.7z", {"D:\\a\" -sdel \"b"}, COMMAND_BAD_CHAR));
    EXPECT_EQ("", Compress(sevenZip, "", "D:\\o\".7z", {"D:\\a"}, COMMAND_BAD_CHAR));
}

TEST(Commands, LongestCompressionCommandFillsItsBuffer) {
    std::string longest = "-" + std::string(259, 'p');
    std::vector<std::string> paths(3, longest);
    std::string command =
        Compress(CompressionTemplate("7Z", true, NULL), "-mx=9", longest.c_str(), paths);
    EXPECT_EQ(CompressionCommandSize(3) - 1, command.size());
    EXPECT_EQ(0u, CompressionCommandSize(20000000)) << "would wrap around";
}

TEST(Commands, ExtractionCommands) {
    struct {
        const char* archive;
        const char* target;
        CommandStatus status;
        const char* expected;
    } cases[] = {
        {"D:\\in\\photos.zip", "C:\\out\\photos", COMMAND_OK,
         "x \"D:\\in\\photos.zip\" -o\"C:\\out\\photos\""},
        {"D:\\表\\ソ.7z", "", COMMAND_OK, "x \"D:\\表\\ソ.7z\" -o\"\""},
        {"-ai.zip", "-x", COMMAND_OK, "x \".\\-ai.zip\" -o\".\\-x\""},
        {"a\".zip", "C:\\out", COMMAND_BAD_CHAR, ""},
    };
    for (auto& c : cases) {
        char out[EXTRACT_COMMAND_SIZE];
        EXPECT_EQ(c.status, BuildExtractionCommand(out, sizeof out, c.archive, c.target));
        EXPECT_STREQ(c.expected, out);
    }
    std::string longest = "-" + std::string(259, 'p');
    char out[EXTRACT_COMMAND_SIZE];
    EXPECT_EQ(COMMAND_OK,
              BuildExtractionCommand(out, sizeof out, longest.c_str(), longest.c_str()));
    EXPECT_EQ(9u + 2 * 262, strlen(out));
}

} // namespace
