// Where the library finds the Win32 engine, and how its dialog names it.
#include <gtest/gtest.h>

#include <string>

#include "sevenzip32/dialogs/config.h"
#include "sevenzip32/engine/locate.h"
#include "sevenzip32/base/texts.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"

using namespace testsupport;

namespace {

std::string Env(const char* name) {
    char value[4096] = {0};
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

// dir, made and given a copy of the engine.
std::string EngineIn(const std::string& dir) {
    CreateDirectoryA(dir.c_str(), NULL);
    for (const char* leaf : {"\\7z.exe", "\\7z.dll"}) {
        CopyFileA((Env("SZ32_ENGINE_DIR") + leaf).c_str(), (dir + leaf).c_str(), FALSE);
    }
    return dir;
}

// 7-Zip's own record of its folder for this user, or none.
void RecordInstall(const std::string& folder) {
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\7-Zip");
    HKEY key = NULL;
    if (!folder.empty() && RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\7-Zip", 0, NULL, 0,
                                           KEY_SET_VALUE, NULL, &key, NULL) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Path", 0, REG_SZ, (const BYTE*)folder.c_str(),
                       (DWORD)folder.size() + 1);
        RegCloseKey(key);
    }
}

TEST(LocateTest, BesideThenInstalledThenOnPathButNeverTheCurrentFolder) {
    std::string root = MakeTempDir("sz32locate"), here = EngineIn(root + "\\here"),
                installed = EngineIn(root + "\\installed"), listed = EngineIn(root + "\\on path");
    std::string beside = ExeDir(), oldPath = Env("PATH");
    SetCurrentDirectoryA(here.c_str());
    // Relative PATH entries all lead to the current folder.
    std::string relative = ".;;here;.\\;" + oldPath;
    static const struct {
        bool beside, installed, listed;
        const std::string* expected;
    } kCases[] = {
        {false, false, false, nullptr},
        {false, false, true, &listed},
        {false, true, true, &installed},
        {true, true, true, &beside},
    };
    for (const auto& c : kCases) {
        if (c.beside) {
            EngineIn(beside);
        }
        RecordInstall(c.installed ? installed + "\\" : "");
        SetEnvironmentVariableA(
            "PATH", ((c.listed ? "\"" + listed + "\";" : std::string()) + relative).c_str());
        SzEngineInfo engine;
        bool found = SzFindEngine(&engine);
        EXPECT_EQ(found, c.expected != nullptr) << engine.path;
        EXPECT_EQ(engine.path, c.expected ? *c.expected + "\\7z.exe" : "");
        EXPECT_FALSE(engine.wine);
    }
    for (const char* leaf : {"\\7z.exe", "\\7z.dll"}) {
        DeleteFileA((beside + leaf).c_str());
    }
    RecordInstall("");
    SetEnvironmentVariableA("PATH", oldPath.c_str());
    SetCurrentDirectoryA(beside.c_str());
    RemoveTree(root);
}

TEST(LocateTest, TheDialogNamesAJapaneseEngineFolderAndTheBanner) {
    std::string root = MakeTempDir("sz32locate-jp"),
                engine = EngineIn(root + "\\表ソ") + "\\7z.exe";
    SetEnvironmentVariableA(SZ_ENGINE_VARIABLE, engine.c_str());
    DialogWatcher box(SZ_TEXT_TITLE);
    SzShowConfig(NULL, 2602);
    SetEnvironmentVariableA(SZ_ENGINE_VARIABLE, NULL);
    ASSERT_EQ(box.Seen().size(), 1u);
    std::string expected = "7-zip32.dll (7-Zip エンジン版) バージョン 26.02\r\n\r\nエンジン: \r\n" +
                           engine + "\r\n7-Zip 26.";
    EXPECT_EQ(box.Seen()[0].text.substr(0, expected.size()), expected);
    RemoveTree(root);
}

} // namespace
