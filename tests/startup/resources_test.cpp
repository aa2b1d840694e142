// The resources of the built Tessaro.exe, read back the way the shell and the
// program read them: the version record through the ANSI version functions,
// the icon and the manifest as resources of the file.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "tests/support/files.h"

using namespace testsupport;

namespace {

std::vector<char> VersionRecord() {
    std::string exe = TessaroExe();
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &unused);
    std::vector<char> record(size);
    if (size == 0 || !GetFileVersionInfoA(exe.c_str(), 0, size, record.data())) {
        record.clear();
    }
    return record;
}

// Bytes of one entry; "<missing>" when the record lacks it.
std::string VersionText(std::vector<char>& record, const std::string& key) {
    std::string query = "\\StringFileInfo\\041103a4\\" + key;
    char* value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(record.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) ||
        value == NULL) {
        return "<missing>";
    }
    return std::string(value);
}

struct ModuleData {
    HMODULE module;
    ModuleData() : module(LoadLibraryExA(TessaroExe().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ModuleData() {
        if (module != NULL) {
            FreeLibrary(module);
        }
    }
    std::string Bytes(LPCSTR name, LPCSTR type) const {
        HRSRC found = FindResourceA(module, name, type);
        if (found == NULL) {
            return std::string();
        }
        HGLOBAL loaded = LoadResource(module, found);
        const char* data = static_cast<const char*>(LockResource(loaded));
        return std::string(data, SizeofResource(module, found));
    }
};

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved, type, count;
};
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

} // namespace

TEST(VersionRecord, JapaneseStringsReadBackInCodePage932) {
    std::vector<char> record = VersionRecord();
    ASSERT_FALSE(record.empty()) << TessaroExe();
    const std::string description =
        "37 2D 7A 69 70 33 32 2E 64 6C 6C 20 97 98 97 70 83 76 83 8D 83 "
        "4F 83 89 83 80";
    struct Case {
        const char* key;
        std::string bytes;
    } cases[] = {
        {"FileDescription", description},         {"Comments", description},
        {"ProductName", Hex("Tessaro")},          {"InternalName", Hex("Tessaro")},
        {"OriginalFilename", Hex("Tessaro.exe")}, {"FileVersion", Hex("1.1.0.1")},
        {"ProductVersion", Hex("1.1.0.1")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.bytes, Hex(VersionText(record, c.key))) << c.key;
    }
}

TEST(VersionRecord, TranslationIsJapaneseCodePage932AndNumbersAre1101) {
    std::vector<char> record = VersionRecord();
    ASSERT_FALSE(record.empty());
    WORD* translation = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(932, translation[1]);

    VS_FIXEDFILEINFO* fixed = NULL;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010001u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010001u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
}

TEST(AppIcon, OneImage32By32With24BitsPerPixel) {
    ModuleData exe;
    ASSERT_TRUE(exe.module != NULL);
    std::string group = exe.Bytes("APP_ICON", RT_GROUP_ICON);
    ASSERT_EQ(sizeof(GroupIconHeader) + sizeof(GroupIconEntry), group.size());
    const GroupIconHeader* header = reinterpret_cast<const GroupIconHeader*>(group.data());
    const GroupIconEntry* entry = reinterpret_cast<const GroupIconEntry*>(header + 1);
    EXPECT_EQ(1, header->type);
    EXPECT_EQ(1, header->count);
    EXPECT_EQ(32, entry->width);
    EXPECT_EQ(32, entry->height);
    EXPECT_EQ(24, entry->bitCount);

    std::string image = exe.Bytes(MAKEINTRESOURCEA(entry->id), RT_ICON);
    ASSERT_EQ(entry->bytes, image.size());
    const BITMAPINFOHEADER* bitmap = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
    EXPECT_EQ(32, bitmap->biWidth);
    EXPECT_EQ(64, bitmap->biHeight); // colour image and mask stacked
    EXPECT_EQ(24, bitmap->biBitCount);
    EXPECT_TRUE(LoadIconA(exe.module, "APP_ICON") != NULL);
}

TEST(Manifest, AsksToRunAsTheInvoker) {
    ModuleData exe;
    ASSERT_TRUE(exe.module != NULL);
    std::string manifest = exe.Bytes(MAKEINTRESOURCEA(1), RT_MANIFEST);
    EXPECT_NE(std::string::npos, manifest.find("<requestedExecutionLevel level=\"asInvoker\""))
        << manifest;
}
