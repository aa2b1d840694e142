// Where the settings file lies: the executable's folder, the user's name,
// and no file at all when its path would not fit.
#include "tests/settings/settings_fixture.h"
#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* what;
    const char* modulePath; // null: the module path cannot be had
    const char* userName;   // null: no user name
    bool made;
    const char* iniPath;
};

const std::string k20 = "abcdefghijklmnopqrst";
const std::string k21 = k20 + "u";
const std::string kName20 = "D:\\Apps\\Tessaro_" + k20 + ".ini";
// Directories whose last character ends in byte 0x5C: a trail byte, not a
// separator.
const char kHyo[] = "表";
const char kSo[] = "ソ";

const PathCase kPathCases[] = {
    {"worked example", "D:\\Apps\\Archiving\\Tessaro.exe", "user01", true,
     "D:\\Apps\\Archiving\\Tessaro_user01.ini"},
    {"no user name", "D:\\Apps\\Archiving\\Tessaro.exe", NULL, true,
     "D:\\Apps\\Archiving\\Tessaro.ini"},
    {"user name of 20 bytes", "D:\\Apps\\Tessaro.exe", k20.c_str(), true, kName20.c_str()},
    {"user name of 21 bytes", "D:\\Apps\\Tessaro.exe", k21.c_str(), true, "D:\\Apps\\Tessaro.ini"},
    {"empty user name", "D:\\Apps\\Tessaro.exe", "", true, "D:\\Apps\\Tessaro.ini"},
    {"double-byte user name", "D:\\Apps\\Tessaro.exe", "表ソ", true, "D:\\Apps\\Tessaro_表ソ.ini"},
    {"folder ending in 0x5C", "C:\\表\\Tessaro.exe", "user01", true, "C:\\表\\Tessaro_user01.ini"},
    {"nested such folders", "C:\\ソ\\表\\ソフト\\Tessaro.exe", "user01", true,
     "C:\\ソ\\表\\ソフト\\Tessaro_user01.ini"},
    {"file name ending in 0x5C", "C:\\Apps\\表", "user01", true, "C:\\Apps\\Tessaro_user01.ini"},
    {"network path", "\\\\server\\share\\app\\Tessaro.exe", "user01", true,
     "\\\\server\\share\\app\\Tessaro_user01.ini"},
    {"forward slashes", "C:/Apps/Tessaro.exe", "user01", true, "C:/Apps/Tessaro_user01.ini"},
    {"drive without folder", "C:Tessaro.exe", "user01", true, "C:Tessaro_user01.ini"},
    {"module path not available", NULL, "user01", false, ""},
};

TEST(MakeIniPath, NamesTheFileFromModuleFolderAndUser) {
    ASSERT_STREQ(kHyo, "\x95\x5c") << "sources must compile to code page 932";
    ASSERT_STREQ(kSo, "\x83\x5c");
    for (const PathCase& c : kPathCases) {
        ScopedPathSources sources(c.modulePath, c.userName);
        CINI ini;
        EXPECT_STREQ(ini.iniPath, c.iniPath) << c.what;
        EXPECT_EQ(ini.MakeIniPath(), c.made) << c.what;
        EXPECT_STREQ(ini.iniPath, c.iniPath) << c.what;
    }
}

// "C:\" + filler + "\" + file name: a module path whose INI path has the
// given length with the user name user01 (18 bytes of file name).
std::string ModulePathForIniLength(size_t iniLength, const std::string& folder = "C:\\") {
    std::string filler(iniLength - folder.size() - 1 - 18, 'd');
    return folder + filler + "\\Tessaro.exe";
}

TEST(MakeIniPath, APathThatWouldNotFitMeansNoSettingsFile) {
    struct LengthCase {
        const char* what;
        std::string modulePath;
        const char* userName;
        bool made;
    };
    const std::string longDir = "C:\\" + std::string(256, 'd') + "\\x"; // 257-byte directory
    const LengthCase cases[] = {
        {"INI path of 260 bytes", ModulePathForIniLength(260), "user01", true},
        {"INI path of 261 bytes", ModulePathForIniLength(261), "user01", false},
        {"fits only without the user part", ModulePathForIniLength(261), NULL, true},
        {"directory of 257 bytes", longDir, NULL, false},
        {"module path cut by its buffer", "C:\\" + std::string(300, 'd') + "\\T.exe", NULL, false},
    };
    for (const LengthCase& c : cases) {
        ScopedPathSources sources(c.modulePath.c_str(), c.userName);
        CINI ini;
        EXPECT_EQ(ini.MakeIniPath(), c.made) << c.what;
        if (c.made) {
            std::string folder = c.modulePath.substr(0, c.modulePath.rfind('\\') + 1);
            EXPECT_EQ(ini.iniPath, folder + (c.userName ? "Tessaro_user01.ini" : "Tessaro.ini"))
                << c.what;
        } else {
            EXPECT_STREQ(ini.iniPath, "") << c.what;
            EXPECT_EQ(Snapshot(ini), kDefaultOptions) << c.what;
        }
    }
}

// On a real folder: a path that fits is written under its full name; at 261
// bytes nothing is written, neither a shortened name nor anywhere else. (At
// exactly 260 the name is kept, but the platform opens no path that long.)
TEST(MakeIniPath, SaveWritesNothingWhenThePathWouldNotFit) {
    for (size_t iniLength : {259u, 261u}) {
        std::string folder = ScratchDir() + "len" + std::to_string(iniLength);
        std::string modulePath = ModulePathForIniLength(iniLength, folder + "\\");
        std::string dir = modulePath.substr(0, modulePath.rfind('\\') + 1);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL)) << GetLastError();

        ScopedPathSources sources(modulePath.c_str(), "user01");
        CINI ini;
        ini.SaveSettings();
        if (iniLength == 259) {
            EXPECT_EQ(ListFolder(dir), std::vector<std::string>{"Tessaro_user01.ini"});
            EXPECT_EQ(strlen(ini.iniPath), 259u);
        } else {
            EXPECT_TRUE(ListFolder(dir).empty());
            EXPECT_STREQ(ini.iniPath, "");
            char value[16] = {};
            GetProfileStringA(INI_SECTION, "DECOMPESS", "none", value, sizeof value);
            EXPECT_STREQ(value, "none") << "written to the system's own profile";
        }
    }
}

// Without stand-ins the program's own folder and the logged-on user are used.
TEST(MakeIniPath, UsesTheSystemAnswersByDefault) {
    char module[MAX_PATH + 1] = {};
    ASSERT_NE(GetModuleFileNameA(NULL, module, sizeof module), 0u);
    std::string folder(module, strrchr(module, '\\') + 1);
    char user[64] = {};
    DWORD size = sizeof user;
    ASSERT_TRUE(GetUserNameA(user, &size));
    ASSERT_LE(strlen(user), 20u) << "test needs a user name that fits";

    CINI ini;
    EXPECT_EQ(ini.iniPath, folder + "Tessaro_" + user + ".ini");
}

// The constructor loads the file it named, and writes nothing by itself.
TEST(CINIConstruction, LoadsTheFileBesideTheModule) {
    std::string dir = MakeScratchSubdir("construct");
    std::string modulePath = dir + "Tessaro.exe";
    ScopedPathSources sources(modulePath.c_str(), "user01");
    {
        CINI ini;
        EXPECT_EQ(Snapshot(ini), kDefaultOptions);
        EXPECT_TRUE(ListFolder(dir).empty());
    }
    WriteBytes(dir + "Tessaro_user01.ini", "[Tessaro]\r\nCOMP_FORMAT=ZIP\r\nDECOMP_OPEN=FALSE\r\n");
    WriteBytes(dir + "Tessaro.ini", "[Tessaro]\r\nCOMP_LEVEL=LEVEL0\r\n");
    CINI ini;
    Options expected = kDefaultOptions;
    expected.COMP_FORMAT = "ZIP";
    expected.DECOMP_OPEN = false;
    EXPECT_EQ(Snapshot(ini), expected);
}

} // namespace
