// The settings file: where it lies, the exact bytes written, what loading
// makes of each key, and every road on which there is no file to read.
#include "settings/ini.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <algorithm>

using namespace testsupport;

namespace {

const char kDefaultsFile[] = "[Tessaro]\r\nDECOMPESS=DESKTOP\r\nDECOMP_ALL=TRUE\r\n"
                             "DECOMP_DIR=TRUE\r\nDECOMP_OPEN=TRUE\r\nCOMPESS=DESKTOP\r\n"
                             "COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL3\r\nCOMP_ENCRYPT=TRUE\r\n"
                             "COMP_ENC_METHOD=ZipCrypto\r\nCOMP_OPEN=TRUE\r\n";

// A settings file (the defaults unless given) with one key's value replaced.
std::string FileWith(const std::string& key, const std::string& value,
                     std::string file = kDefaultsFile) {
    size_t at = file.find("\n" + key + "=");
    if (at != std::string::npos) {
        at += key.size() + 2;
        file.replace(at, file.find('\r', at) - at, value);
    }
    return file;
}

// A new path in a scratch folder: the profile functions cache recently read
// files, so each file gets a name of its own.
std::string FreshPath() {
    static std::string dir = MakeTempDir("settings");
    static int serial = 0;
    return dir + "\\t" + std::to_string(++serial) + ".ini";
}

// What a record holds, as the file saving it writes.
std::string Saved(CINI& ini) {
    std::string path = FreshPath();
    lstrcpynA(ini.iniPath, path.c_str(), sizeof ini.iniPath);
    ini.SaveSettings();
    return ReadBytes(path);
}

// Loads ini from path, which must not change by it.
void LoadFrom(CINI& ini, const std::string& path) {
    std::string before = ReadBytes(path);
    lstrcpynA(ini.iniPath, path.c_str(), sizeof ini.iniPath);
    ini.LoadSettings();
    EXPECT_EQ(before, ReadBytes(path)) << "loading wrote to " << path;
}

std::string LoadedFrom(const std::string& fileText) {
    std::string path = FreshPath();
    WriteBytes(path, fileText);
    CINI ini;
    LoadFrom(ini, path);
    return Saved(ini);
}

TEST(Settings, DefaultsAndChangedValuesAreSavedAndLoadedBackExactly) {
    CINI ini;
    LoadFrom(ini, FreshPath()); // a missing file gives the defaults
    EXPECT_EQ(kDefaultsFile, Saved(ini));
    const std::string changed = "[Tessaro]\r\nDECOMPESS=DECIDE\r\nDECOMP_ALL=FALSE\r\n"
                                "DECOMP_DIR=FALSE\r\nDECOMP_OPEN=FALSE\r\nCOMPESS=SAMEPLACE\r\n"
                                "COMP_FORMAT=ZIP\r\nCOMP_LEVEL=LEVEL5\r\nCOMP_ENCRYPT=FALSE\r\n"
                                "COMP_ENC_METHOD=AES256\r\nCOMP_OPEN=FALSE\r\n";
    EXPECT_EQ(changed, LoadedFrom(changed));
    // Saving over a file replaces each value in place.
    std::string path = FreshPath();
    WriteBytes(path, changed);
    LoadFrom(ini, path);
    ini.DECOMP_ALL = true;
    ini.SaveSettings();
    EXPECT_EQ(FileWith("DECOMP_ALL", "TRUE", changed), ReadBytes(path));
    // Without a path nothing is written, not even the system's own profile.
    ini.iniPath[0] = '\0';
    ini.SaveSettings();
    char value[16] = {0};
    GetProfileStringA(INI_SECTION, "DECOMPESS", "none", value, sizeof value);
    EXPECT_STREQ("none", value);
}

// Each key alone amid defaults: a value outside the key's set, in another
// case, or too long for the read buffer gives the default; present but
// empty keeps it; a flag is on only for exactly "TRUE".
TEST(Settings, LoadValidatesEachKey) {
    const std::string long200(200, 'A');
    const struct {
        const char* key;
        std::vector<std::string> raw;
        const char* loaded;
    } cases[] = {
        {"DECOMPESS", {"", "desktop", "DECIDEX", "SAMEPLACE" + long200}, "DESKTOP"},
        {"DECOMPESS", {"SAMEPLACE"}, "SAMEPLACE"},
        {"COMPESS", {"DECIDE"}, "DECIDE"},
        {"COMP_FORMAT", {"zip", "7z", "ZIPX", "RAR"}, "7Z"},
        {"COMP_FORMAT", {"ZIP"}, "ZIP"},
        {"COMP_LEVEL", {"LEVEL6", "level1", "LEVEL", "LEVEL5" + long200}, "LEVEL3"},
        {"COMP_LEVEL", {"LEVEL0"}, "LEVEL0"},
        {"COMP_ENC_METHOD", {"AES192", "zipcrypto", "ＡＥＳ１２８", long200}, "ZipCrypto"},
        {"COMP_ENC_METHOD", {"AES128"}, "AES128"},
        {"DECOMP_ALL", {"True", "true", "1", "TRUE1", "TRU", "TRUE" + long200}, "FALSE"},
        {"DECOMP_DIR", {"", "TRUE"}, "TRUE"},
        {"DECOMP_OPEN", {"yes"}, "FALSE"},
        {"COMP_OPEN", {"false"}, "FALSE"},
    };
    for (const auto& c : cases) {
        for (const std::string& raw : c.raw) {
            EXPECT_EQ(FileWith(c.key, c.loaded), LoadedFrom(FileWith(c.key, raw)))
                << c.key << "=" << raw;
        }
    }
}

// Whatever keeps the file from being read gives every default, not what
// the record held before.
TEST(Settings, NoFileToReadGivesTheDefaults) {
    const std::string changed = FileWith("COMP_FORMAT", "ZIP");
    std::string dir = FreshPath(), locked = FreshPath();
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    WriteBytes(locked, changed);
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    for (const std::string& path : {FreshPath(), std::string(), dir, locked}) {
        CINI ini;
        ini.COMP_OPEN = false;
        lstrcpynA(ini.COMP_FORMAT, "ZIP", sizeof ini.COMP_FORMAT);
        LoadFrom(ini, path);
        EXPECT_EQ(kDefaultsFile, Saved(ini)) << "'" << path << "'";
    }
    CloseHandle(hold);
    EXPECT_EQ(changed, LoadedFrom(changed)) << "the same file released";
    for (const char* text : {"", "[Other]\r\nCOMP_FORMAT=ZIP\r\n", "COMP_FORMAT=ZIP\r\n"}) {
        EXPECT_EQ(kDefaultsFile, LoadedFrom(text)) << text;
    }
}

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

// "C:\ddd...\": a folder in which Tessaro_user01.ini has a path of length bytes.
std::string FolderFor(size_t length) {
    return "C:\\" + std::string(length - 22, 'd') + "\\";
}

TEST(Settings, FileIsNamedFromTheModuleFolderAndTheUser) {
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
        // Trail bytes 0x5C ending folder and file names are no separators.
        {"C:\\ソ\\表\\ソフト\\Tessaro.exe", "表ソ", "C:\\ソ\\表\\ソフト\\Tessaro_表ソ.ini"},
        {"C:\\Apps\\表", "user01", "C:\\Apps\\Tessaro_user01.ini"},
        {"C:/Apps/Tessaro.exe", "user01", "C:/Apps/Tessaro_user01.ini"},
        {"C:Tessaro.exe", "user01", "C:Tessaro_user01.ini"},
        {"-", "user01", ""},
        // A path that would not fit names no file at all, not a shortened one.
        {FolderFor(260) + "Tessaro.exe", "user01", FolderFor(260) + "Tessaro_user01.ini"},
        {FolderFor(261) + "Tessaro.exe", "user01", ""},
        {"C:\\" + std::string(256, 'd') + "\\x", NULL, ""},     // a folder of 257 bytes
        {"C:\\" + std::string(300, 'd') + "\\T.exe", NULL, ""}, // cut by its buffer
    };
    UserNameSource savedUser = g_userNameSource;
    ModulePathSource savedModule = g_modulePathSource;
    g_userNameSource = FakeUserName, g_modulePathSource = FakeModulePath;
    for (const auto& c : cases) {
        g_modulePath = c.modulePath == "-" ? NULL : c.modulePath.c_str(), g_userName = c.userName;
        CINI ini;
        EXPECT_EQ(c.iniPath, ini.iniPath) << c.modulePath << " " << c.userName;
        EXPECT_EQ(!c.iniPath.empty(), ini.MakeIniPath()) << c.modulePath;
        EXPECT_EQ(c.iniPath, ini.iniPath) << c.modulePath;
    }
    // The constructor loads the file it named, not the one without the user.
    std::string dir = MakeTempDir("settingsexe"), module = dir + "\\Tessaro.exe";
    g_modulePath = module.c_str(), g_userName = "user01";
    WriteBytes(dir + "\\Tessaro_user01.ini", "[Tessaro]\r\nCOMP_FORMAT=ZIP\r\n");
    WriteBytes(dir + "\\Tessaro.ini", "[Tessaro]\r\nCOMP_LEVEL=LEVEL0\r\n");
    CINI constructed;
    EXPECT_EQ(FileWith("COMP_FORMAT", "ZIP"), Saved(constructed));
    g_userNameSource = savedUser, g_modulePathSource = savedModule;
    RemoveTree(dir);
}

} // namespace
