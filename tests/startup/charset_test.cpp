// The texts the program shows are code page 932 bytes: a wrong source or
// execution character set would garble every message and break the title
// that a second instance looks for.
#include <gtest/gtest.h>
#include <string>

#include "app/mainwnd.h"
#include "tests/support/files.h"

using testsupport::Hex;

TEST(Charset, LiteralsCompileToCodePage932) {
    struct Case {
        std::string compiled;
        const char* bytes;
    } cases[] = {
        {"ｷｬﾝｾﾙ", "B7 AC DD BE D9"},
        {"（", "81 69"},
        {"）", "81 6A"},
        {"利用プログラム", "97 98 97 70 83 76 83 8D 83 4F 83 89 83 80"},
        {MAIN_WINDOW_TITLE, "54 65 73 73 61 72 6F 20 31 2E 31 20 81 69 37 2D 7A 69 70 33 32 2E "
                            "64 6C 6C 20 97 98 97 70 83 76 83 8D 83 4F 83 89 83 80 81 6A"},
        {MAIN_CLASS_NAME, "54 65 73 73 61 72 6F 5F 62 79 5F 4D 6F 72 76 61 6E 65"},
        {MESSAGE_CAPTION, "54 65 73 73 61 72 6F 20 31 2E 31"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.bytes, Hex(c.compiled));
    }
}
