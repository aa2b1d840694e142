// Path splitting and command building at their limits: text in, text out.
#include "jobs/commands.h"
#include "jobs/inputs.h"
#include "jobs/paths.h"
#include "settings/options.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(Paths, BaseNameAndParentFolderByCodePage932Characters) {
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
        EXPECT_STREQ(c[1], GetBaseName(c[0])) << c[0];
        EXPECT_STREQ(c[2], GetParentFolder(c[0])) << c[0];
    }
    // A base name of 256 bytes and a directory part of 256 fit; one more does not.
    EXPECT_EQ(std::string(256, 'b'), GetBaseName(("C:\\" + std::string(256, 'b') + ".").c_str()));
    EXPECT_EQ(nullptr, GetBaseName(("C:\\" + std::string(257, 'b')).c_str()));
    std::string fitDir = "C:" + std::string(255, 'd') + "\\x", longDir = "C:\\" + fitDir.substr(2);
    EXPECT_EQ(fitDir.substr(0, 257), GetParentFolder(fitDir.c_str()));
    EXPECT_EQ(nullptr, GetBaseName(longDir.c_str()));
    EXPECT_EQ(nullptr, GetParentFolder(longDir.c_str()));
}

const OptionValue* Value(OptionId option, const char* text) {
    return &kOptions[option].values[FindValue(option, text)];
}

TEST(Commands, PathsThatDoNotFitOrCarryAQuoteAreRefused) {
    const OptionValue *zip = Value(OPT_COMP_FORMAT, "ZIP"),
                      *sevenZip = Value(OPT_COMP_FORMAT, "7Z");
    char out[MAX_PATH + 1];
    std::string folder = "C:\\" + std::string(252, 'f'); // 255 + "\\a.zip" = 261
    EXPECT_EQ(COMMAND_TOO_LONG, FormatArchivePath(out, sizeof out, folder.c_str(), "a", zip));
    EXPECT_STREQ("", out);
    EXPECT_EQ(COMMAND_OK, FormatArchivePath(out, sizeof out, folder.c_str(), "a", sevenZip));
    // Every path is quoted whole; a leading "-" would make a switch.
    PathEntry entries[3] = {{"-sdel"}, {"D:\\a b"}, {"D:\\a\" -sdel \"b"}};
    std::vector<char> command(CompressionCommandSize(3), 'X');
    const char* aes = CompressionTemplate(zip, true, Value(OPT_COMP_ENC_METHOD, "AES128"));
    EXPECT_EQ(COMMAND_OK, BuildCompressionCommand(command.data(), command.size(), aes, "-mx=9",
                                                  "-ar.zip", entries, 2));
    EXPECT_STREQ("a -tzip -p -mem=AES128 -mx=9 -r0 \".\\-ar.zip\" \".\\-sdel\" \"D:\\a b\"",
                 command.data());
    EXPECT_EQ(COMMAND_BAD_CHAR, BuildCompressionCommand(command.data(), command.size(), aes,
                                                        "-mx=9", "a.zip", entries, 3));
    EXPECT_STREQ("", command.data());
    // The longest commands fit their buffers.
    std::string longest = "-" + std::string(259, 'p');
    PathEntry three[3];
    for (PathEntry& e : three) {
        lstrcpynA(e.path, longest.c_str(), sizeof e.path);
    }
    EXPECT_EQ(COMMAND_OK, BuildCompressionCommand(command.data(), command.size(),
                                                  CompressionTemplate(sevenZip, true, NULL),
                                                  "-mx=9", longest.c_str(), three, 3));
    char extract[EXTRACT_COMMAND_SIZE];
    EXPECT_EQ(COMMAND_OK, BuildExtractionCommand(extract, sizeof extract, "-ai.zip", "-x"));
    EXPECT_STREQ("x \".\\-ai.zip\" -o\".\\-x\"", extract);
    EXPECT_EQ(COMMAND_BAD_CHAR,
              BuildExtractionCommand(extract, sizeof extract, "a\".zip", "C:\\o"));
    EXPECT_EQ(COMMAND_OK,
              BuildExtractionCommand(extract, sizeof extract, longest.c_str(), longest.c_str()));
}

} // namespace
