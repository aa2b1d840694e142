// Where the settings file lies: the executable's folder and the user's name,
// and no file at all when its path would not fit.
#include "tests/settings/settings_fixture.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {

const char *g_modulePath, *g_userName;

// As GetUserNameA: fails with the needed size when the buffer is too small.
BOOL WINAPI FakeUserName(LPSTR buffer, LPDWORD size) {
    DWORD needed = g_userName ? (DWORD)strlen(g_userName) + 1 : 0;
    bool fits = g_userName && *size >= needed;
    if (fits) {
        memcpy(buffer, g_userName, needed);
    }
    *size = needed;
    return fits;
}

// As GetModuleFileNameA: a path that does not fit is cut, terminated and
// reported with the full buffer size.
DWORD WINAPI FakeModulePath(HMODULE, LPSTR buffer, DWORD size) {
    lstrcpynA(buffer, g_modulePath ? g_modulePath : "", (int)size);
    return g_modulePath ? (DWORD)std::min<size_t>(strlen(g_modulePath), size) : 0;
}

// While alive, the INI path is made from modulePath and userName instead of
// the system's answers; a null one makes its source fail.
struct ScopedPathSources {
    UserNameSource savedUser = g_userNameSource;
    ModulePathSource savedModule = g_modulePathSource;
    ScopedPathSources(const char* modulePath, const char* userName) {
        g_modulePath = modulePath, g_userName = userName;
        g_userNameSource = FakeUserName, g_modulePathSource = FakeModulePath;
    }
    ~ScopedPathSources() { g_userNameSource = savedUser, g_modulePathSource = savedModule; }
};

// "C:\ddd...\": a folder in which Tessaro_user01.ini has a path of length bytes.
std::string FolderFor(size_t length) {
    return "C:\\" + std::string(length - 22, 'd') + "\\";
}

TEST(MakeIniPath, NamesTheFileFromModuleFolderAndUser) {
    ASSERT_STREQ("表ソ", "\x95\x5c\x83\x5c") << "sources must compile to code page 932";
    const std::string u20 = "abcdefghijklmnopqrst", u21 = u20 + "u";
    const struct {
        std::string modulePath; // "-": the module path cannot be had
        const char* userName;   // null: no user name
        std::string iniPath;    // "": no settings file
    } cases[] = {
        {"D:\\Apps\\Archiving\\Tessaro.exe", "user01", "D:\\Apps\\Archiving\\Tessaro_user01.ini"},
        {"D:\\Apps\\Archiving\\Tessaro.exe", NULL, "D:\\Apps\\Archiving\\Tessaro.ini"},
        {"D:\\Tessaro.exe", u20.c_str(), "D:\\Tessaro_" + u20 + ".ini"},
        {"D:\\Tessaro.exe", u21.c_str(), "D:\\Tessaro.ini"}, // a name too long is left out
        {"D:\\Tessaro.exe", "", "D:\\Tessaro.ini"},
        {"D:\\Tessaro.exe", "表ソ", "D:\\Tessaro_表ソ.ini"},
        // Trail bytes 0x5C ending folder and file names are no separators.
        {"C:\\表\\Tessaro.exe", "user01", "C:\\表\\Tessaro_user01.ini"},
        {"C:\\ソ\\表\\ソフト\\Tessaro.exe", "u", "C:\\ソ\\表\\ソフト\\Tessaro_u.ini"},
        {"C:\\Apps\\表", "user01", "C:\\Apps\\Tessaro_user01.ini"},
        {"\\\\server\\share\\Tessaro.exe", "u", "\\\\server\\share\\Tessaro_u.ini"},
        {"C:/Apps/Tessaro.exe", "user01", "C:/Apps/Tessaro_user01.ini"},
        {"C:Tessaro.exe", "user01", "C:Tessaro_user01.ini"},
        {"-", "user01", ""},
        // A path that would not fit names no file at all, not a shortened one.
        {FolderFor(260) + "Tessaro.exe", "user01", FolderFor(260) + "Tessaro_user01.ini"},
        {FolderFor(261) + "Tessaro.exe", "user01", ""},
        {FolderFor(261) + "Tessaro.exe", NULL, FolderFor(261) + "Tessaro.ini"},
        {"C:\\" + std::string(256, 'd') + "\\x", NULL, ""},     // a folder of 257 bytes
        {"C:\\" + std::string(300, 'd') + "\\T.exe", NULL, ""}, // cut by its buffer
    };
    for (const auto& c : cases) {
        ScopedPathSources sources(c.modulePath == "-" ? NULL : c.modulePath.c_str(), c.userName);
        CINI ini;
        EXPECT_EQ(ini.iniPath, c.iniPath) << c.modulePath << " " << c.userName;
        EXPECT_EQ(ini.MakeIniPath(), !c.iniPath.empty()) << c.modulePath;
        EXPECT_EQ(ini.iniPath, c.iniPath) << c.modulePath;
        EXPECT_EQ(Snapshot(ini), kDefaults);
    }
}

// On a real folder: a path that fits is written under its full name; at 261
// bytes nothing is written, neither a shortened name nor the system's own
// profile. (At 260 the name is kept, but the platform opens no path that long.)
TEST(MakeIniPath, SaveWritesNothingWhenThePathWouldNotFit) {
    for (size_t length : {259u, 261u}) {
        std::string folder = FreshPath("len", "");
        std::string dir = folder + "\\" + std::string(length - folder.size() - 20, 'd') + "\\";
        std::string modulePath = dir + "Tessaro.exe";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL) && CreateDirectoryA(dir.c_str(), NULL));
        ScopedPathSources sources(modulePath.c_str(), "user01");
        CINI ini;
        ini.SaveSettings();
        EXPECT_EQ(strlen(ini.iniPath), length == 259 ? 259u : 0u);
        EXPECT_EQ(length == 259, DeleteFileA((dir + "Tessaro_user01.ini").c_str()) != FALSE);
        EXPECT_TRUE(RemoveDirectoryA(dir.c_str())) << "other files written";
        char value[16] = {};
        GetProfileStringA(INI_SECTION, "DECOMPESS", "none", value, sizeof value);
        EXPECT_STREQ(value, "none");
    }
}

// Without stand-ins the program's own folder and the logged-on user are used.
TEST(MakeIniPath, UsesTheSystemAnswersByDefault) {
    char module[MAX_PATH + 1] = {}, user[64] = {};
    DWORD size = sizeof user;
    ASSERT_TRUE(GetModuleFileNameA(NULL, module, sizeof module) && GetUserNameA(user, &size));
    ASSERT_LE(strlen(user), 20u) << "test needs a user name that fits";
    std::string folder(module, strrchr(module, '\\') + 1);
    EXPECT_EQ(CINI().iniPath, folder + "Tessaro_" + user + ".ini");
}

// The constructor loads the file it named (not the one without the user
// part), and writes nothing by itself.
TEST(CINIConstruction, LoadsTheFileBesideTheModule) {
    std::string dir = FreshPath("construct", "\\");
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    std::string modulePath = dir + "Tessaro.exe";
    ScopedPathSources sources(modulePath.c_str(), "user01");
    EXPECT_EQ(Snapshot(CINI()), kDefaults);
    EXPECT_TRUE(RemoveDirectoryA(dir.c_str()) && CreateDirectoryA(dir.c_str(), NULL))
        << "files written";
    testsupport::WriteBytes(dir + "Tessaro_user01.ini", "[Tessaro]\r\nCOMP_FORMAT=ZIP\r\n");
    testsupport::WriteBytes(dir + "Tessaro.ini", "[Tessaro]\r\nCOMP_LEVEL=LEVEL0\r\n");
    EXPECT_EQ(Snapshot(CINI()), With(kDefaults, "COMP_FORMAT", "ZIP"));
}

} // namespace
