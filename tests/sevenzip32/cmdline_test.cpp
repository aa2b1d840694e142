// The command parser and the engine's argument list, from tables.
#include <gtest/gtest.h>

#include <string>

#include "sevenzip32/cmdline.h"
#include "sevenzip32/result.h"

namespace {

std::string Joined(const SzArgs& args) {
    std::string out;
    for (int i = 0; i < args.count; i++) {
        out += std::string(i ? "|" : "") + SzArgsAt(&args, i);
    }
    return out;
}

TEST(SplitCommandLine, QuotesGroupAndVanishBackslashesStay) {
    static const struct {
        const char* line;
        const char* tokens;
    } kCases[] = {
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
        ASSERT_TRUE(SzSplitCommandLine(c.line, &tokens));
        EXPECT_EQ(Joined(tokens), c.tokens) << c.line;
        SzArgsFree(&tokens);
    }
}

// A mapper standing for Wine's: absolute names get a host prefix.
bool TableMapper(LPCSTR name, bool absolute, LPSTR host, int hostBytes) {
    std::string out = absolute ? std::string("/host/") + name : std::string("rel:") + name;
    if (strchr(name, '?') != NULL || static_cast<int>(out.size()) >= hostBytes) {
        return false;
    }
    memcpy(host, out.c_str(), out.size() + 1);
    return true;
}

TEST(ParseCommand, TheProgramsCommandsBecomeTheseEngineArguments) {
    static const char kFixed[] = "-bsp1|-sccUTF-8|-scsUTF-8|";
    static const struct {
        const char* line;
        const char* args; // after the command letter and the fixed switches
        SzPasswordMode password;
    } kCases[] = {
        {"x \"D:\\in\\photos.zip\" -o\"D:\\in\\photos\"",
         "-o/host/D:\\in\\photos|-aos|--|/host/D:\\in\\photos.zip", SZ_PASSWORD_NONE},
        {"a -tzip -mx=5 -r0 \"D:\\o.zip\" \"D:\\a\" \"D:\\b c\"",
         "-tzip|-mx=5|-r0|--|/host/D:\\o.zip|rel:D:\\a|rel:D:\\b c", SZ_PASSWORD_NONE},
        {"a -tzip -p -mem=AES256 -mx=9 -r0 \"o.zip\" \"a\"",
         "-tzip|-mem=AES256|-mx=9|-r0|-p|--|/host/o.zip|rel:a", SZ_PASSWORD_ASK},
        {"a -t7z -mhe=off  -ms=off -m0=LZMA2 -r0 \"o.7z\" \"a\"",
         "-t7z|-mhe=off|-ms=off|-m0=LZMA2|-r0|--|/host/o.7z|rel:a", SZ_PASSWORD_NONE},
        {"a -t7z -psecret -mhe=on o.7z .\\-a", "-t7z|-mhe=on|-p|--|/host/o.7z|rel:.\\-a",
         SZ_PASSWORD_GIVEN},
        {"A -T7Z O.7z a", "-T7Z|--|/host/O.7z|rel:a", SZ_PASSWORD_NONE},
        {"x -y a.7z -o\"o\"", "-o/host/o|-aoa|--|/host/a.7z", SZ_PASSWORD_NONE},
        {"e -aou a.7z", "-aou|--|/host/a.7z", SZ_PASSWORD_NONE},
        {"t -p a.7z -hide", "--|/host/a.7z", SZ_PASSWORD_ASK},
        {"l a.7z -- -r", "--|/host/a.7z|rel:-r", SZ_PASSWORD_NONE},
        {"a a.7z -r- \"x\"", "-r-|--|/host/a.7z|rel:x", SZ_PASSWORD_NONE},
    };
    for (const auto& c : kCases) {
        SzCommand cmd;
        ASSERT_EQ(SzParseCommand(c.line, &cmd), SZ_OK) << c.line;
        SzArgs args;
        SzArgsInit(&args);
        ASSERT_EQ(SzBuildEngineArgs(
                      &cmd, cmd.overwrite == SZ_OVERWRITE_ASK ? SZ_OVERWRITE_SKIP : cmd.overwrite,
                      TableMapper, &args),
                  SZ_OK);
        std::string expected =
            std::string(1, static_cast<char>(c.line[0] | 0x20)) + "|" + kFixed + c.args;
        EXPECT_EQ(Joined(args), expected) << c.line;
        EXPECT_EQ(cmd.password, c.password) << c.line;
        SzArgsFree(&args);
        SzFreeCommand(&cmd);
    }
}

TEST(ParseCommand, PasswordsNeverReachTheArguments) {
    SzCommand cmd;
    ASSERT_EQ(SzParseCommand("x -pTopSecret a.7z -o\"out\"", &cmd), SZ_OK);
    EXPECT_STREQ(cmd.passwordText, "TopSecret");
    SzArgs args;
    SzArgsInit(&args);
    ASSERT_EQ(SzBuildEngineArgs(&cmd, SZ_OVERWRITE_SKIP, TableMapper, &args), SZ_OK);
    EXPECT_EQ(Joined(args).find("TopSecret"), std::string::npos);
    SzArgsFree(&args);
    SzFreeCommand(&cmd);
    EXPECT_STREQ(cmd.passwordText, "");
}

TEST(ParseCommand, WhatTheLibraryDoesNotUnderstandIsACommandLineError) {
    static const char* const kBad[] = {
        NULL,
        "",
        "   ",
        "x",
        "q a.7z",
        "xx a.7z",
        "a a.7z",
        "x a.7z -o",
        "x a.7z -t",
        "x a.7z -aoz",
        "x a.7z -ao",
        "x a.7z -yes",
        "x a.7z -hidden",
        "x a.7z -m",
        "x a.7z -mx=5;rm",
        "a -t7z\"&\" a.7z b",
        "x a.7z -r5",
        "x a.7z -sdel",
        "x \"\"",
    };
    for (const char* line : kBad) {
        SzCommand cmd;
        EXPECT_EQ(SzParseCommand(line, &cmd), SZ_ERROR_COMMAND) << (line ? line : "(null)");
    }
}

TEST(ParseCommand, OverwriteSwitchesChooseTheMode) {
    static const struct {
        const char* line;
        SzOverwriteMode mode;
        const char* engineSwitch;
    } kCases[] = {
        {"x a.7z", SZ_OVERWRITE_ASK, NULL},
        {"x a.7z -y", SZ_OVERWRITE_ALL, "-aoa"},
        {"x a.7z -aoa", SZ_OVERWRITE_ALL, "-aoa"},
        {"x a.7z -aos", SZ_OVERWRITE_SKIP, "-aos"},
        {"x a.7z -AOU", SZ_OVERWRITE_RENAME_NEW, "-aou"},
        {"x a.7z -aot", SZ_OVERWRITE_RENAME_OLD, "-aot"},
    };
    for (const auto& c : kCases) {
        SzCommand cmd;
        ASSERT_EQ(SzParseCommand(c.line, &cmd), SZ_OK) << c.line;
        EXPECT_EQ(cmd.overwrite, c.mode) << c.line;
        LPCSTR s = SzOverwriteSwitch(cmd.overwrite);
        EXPECT_STREQ(s ? s : "(none)", c.engineSwitch ? c.engineSwitch : "(none)") << c.line;
        SzFreeCommand(&cmd);
    }
}

TEST(BuildEngineArgs, AnUnmappableNameFailsTheCommand) {
    static const char* const kLines[] = {"x a?.7z", "x a.7z -o\"o?\"", "a a.7z b?"};
    for (const char* line : kLines) {
        SzCommand cmd;
        ASSERT_EQ(SzParseCommand(line, &cmd), SZ_OK) << line;
        SzArgs args;
        SzArgsInit(&args);
        EXPECT_EQ(SzBuildEngineArgs(&cmd, SZ_OVERWRITE_SKIP, TableMapper, &args), SZ_ERROR_COMMAND)
            << line;
        SzArgsFree(&args);
        SzFreeCommand(&cmd);
    }
}

} // namespace
