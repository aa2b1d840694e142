// What the built Tessaro.exe carries, read back the way the shell and the
// program read it, and the code page 932 bytes of its literals: a wrong
// character set would garble every message and the title a second start
// looks for.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/mainwnd.h"
#include "tests/support/files.h"

using namespace testsupport;

namespace {

const char kDescription[] = "37 2D 7A 69 70 33 32 2E 64 6C 6C 20 97 98 97 70 83 76 83 8D 83 4F "
                            "83 89 83 80"; // 7-zip32.dll 利用プログラム

TEST(Charset, LiteralsCompileToCodePage932) {
    const std::pair<std::string, std::string> cases[] = {
        {"ｷｬﾝｾﾙ", "B7 AC DD BE D9"},
        {"（）", "81 69 81 6A"},
        {MAIN_WINDOW_TITLE,
         "54 65 73 73 61 72 6F 20 31 2E 31 20 81 69 " + std::string(kDescription) + " 81 6A"},
        {MAIN_CLASS_NAME, "54 65 73 73 61 72 6F 5F 62 79 5F 4D 6F 72 76 61 6E 65"},
        {MESSAGE_CAPTION, "54 65 73 73 61 72 6F 20 31 2E 31"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, Hex(c.first));
    }
}

TEST(VersionRecord, ReadsBackInJapaneseCodePage932) {
    std::string exe = TessaroExe();
    DWORD unused = 0;
    std::vector<char> record(GetFileVersionInfoSizeA(exe.c_str(), &unused));
    ASSERT_FALSE(record.empty()) << exe;
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, (DWORD)record.size(), record.data()));
    auto query = [&](const std::string& key, UINT* length) -> void* {
        void* value = NULL;
        return VerQueryValueA(record.data(), key.c_str(), &value, length) ? value : NULL;
    };
    const std::pair<const char*, std::string> strings[] = {
        {"FileDescription", kDescription},        {"Comments", kDescription},
        {"ProductName", Hex("Tessaro")},          {"InternalName", Hex("Tessaro")},
        {"OriginalFilename", Hex("Tessaro.exe")}, {"FileVersion", Hex("1.1.0.1")},
        {"ProductVersion", Hex("1.1.0.1")},
    };
    UINT length = 0;
    for (const auto& s : strings) {
        const char* text =
            (const char*)query("\\StringFileInfo\\041103a4\\" + std::string(s.first), &length);
        EXPECT_EQ(s.second, Hex(text ? text : "<missing>")) << s.first;
    }
    const WORD* translation = (const WORD*)query("\\VarFileInfo\\Translation", &length);
    ASSERT_TRUE(translation && length == 4);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(932, translation[1]);
    const VS_FIXEDFILEINFO* fixed = (const VS_FIXEDFILEINFO*)query("\\", &length);
    ASSERT_TRUE(fixed != NULL);
    EXPECT_EQ(0x00010001u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010001u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwProductVersionLS);
    EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType);
}

// One 32 x 32 image of 24 bits per pixel, and a manifest asking for no
// elevation.
TEST(Resources, IconAndManifest) {
    HMODULE exe = LoadLibraryExA(TessaroExe().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe != NULL);
    auto bytes = [&](LPCSTR name, LPCSTR type) {
        HRSRC found = FindResourceA(exe, name, type);
        return found ? std::string((const char*)LockResource(LoadResource(exe, found)),
                                   SizeofResource(exe, found))
                     : std::string();
    };
    std::string group = bytes("APP_ICON", RT_GROUP_ICON);
    ASSERT_EQ(20u, group.size()); // header of 3 WORDs, one entry of 14 bytes
    const BYTE* g = (const BYTE*)group.data();
    EXPECT_EQ("00 00 01 00 01 00 20 20", Hex(group.substr(0, 8))); // icon, one image, 32 x 32
    EXPECT_EQ(24, g[12]);                                          // bits per pixel
    std::string image = bytes(MAKEINTRESOURCEA(g[18] | g[19] << 8), RT_ICON);
    ASSERT_EQ(*(const DWORD*)(g + 14), image.size());
    const BITMAPINFOHEADER* bitmap = (const BITMAPINFOHEADER*)image.data();
    EXPECT_EQ(32, bitmap->biWidth);
    EXPECT_EQ(64, bitmap->biHeight); // colour image and mask stacked
    EXPECT_EQ(24, bitmap->biBitCount);
    EXPECT_TRUE(LoadIconA(exe, "APP_ICON") != NULL);
    std::string manifest = bytes(MAKEINTRESOURCEA(1), RT_MANIFEST);
    EXPECT_NE(std::string::npos, manifest.find("<requestedExecutionLevel level=\"asInvoker\""))
        << manifest;
    FreeLibrary(exe);
}

} // namespace
