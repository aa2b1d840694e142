// The library as Japanese users meet it, with the real engine under Wine:
// which files count as archives, legacy ZIP names on disk, the failure
// sentence in the box, and the progress window.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "archiver/sevenzip.h"
#include "sevenzip32/texts.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

using namespace testsupport;

namespace {

C7ZIP& Library() {
    static C7ZIP lib;
    return lib;
}

int Sz(const std::string& cmd, std::string* output = nullptr, HWND owner = NULL) {
    std::vector<char> buffer(65536, '\0');
    int result = Library().SevenZip(owner, cmd.c_str(), buffer.data(), (DWORD)buffer.size());
    if (output != nullptr) {
        *output = buffer.data();
    }
    return result;
}

std::string Q(const std::string& path) {
    return "\"" + path + "\"";
}

std::string Le(size_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; i++) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

unsigned Crc(const std::string& data) {
    unsigned crc = ~0u;
    for (unsigned char b : data) {
        crc ^= b;
        for (int k = 0; k < 8; k++) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A stored ZIP as an MS-DOS archiver writes one: code page 932 names, no UTF-8 flag.
std::string LegacyZip(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string local, central;
    for (const auto& e : entries) {
        std::string common = Le(20, 2) + Le(0, 2) + Le(0, 2) + Le(0, 4) + Le(Crc(e.second), 4) +
                             Le(e.second.size(), 4) + Le(e.second.size(), 4) +
                             Le(e.first.size(), 2) + Le(0, 2);
        central += std::string("PK\x01\x02") + Le(20, 2) + common + Le(0, 6) +
                   Le(e.first.back() == '/' ? 0x10 : 0, 4) + Le(local.size(), 4) + e.first;
        local += std::string("PK\x03\x04") + common + e.first + e.second;
    }
    return local + central + std::string("PK\x05\x06", 4) + Le(0, 4) + Le(entries.size(), 2) +
           Le(entries.size(), 2) + Le(central.size(), 4) + Le(local.size(), 4) + Le(0, 2);
}

const std::vector<std::pair<std::string, std::string>> kLegacyEntries = {
    {"表ソ.txt", "one"}, {"ソ/", ""}, {"ソ/能.txt", "two"}, {"bad\x81 x\x5C.txt", "three"}};

// The names in a folder (code page 932), sorted, "/" after folders.
std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
        if (strcmp(data.cFileName, ".") != 0 && strcmp(data.cFileName, "..") != 0) {
            bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            names.push_back(std::string(data.cFileName) + (folder ? "/" : ""));
        }
    }
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(JapaneseLibrary, FilesAreArchivesExactlyWhenTheEngineOpensThem) {
    std::string dir = MakeTempDir("i9-kinds");
    DialogWatcher boxes(SZ_TEXT_TITLE); // the engine's own verdicts end in boxes
    WriteBytes(dir + "\\text.txt", "plain text, nothing more\r\n");
    WriteBytes(dir + "\\image.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
    WriteBytes(dir + "\\image.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11));
    WriteBytes(dir + "\\image.gif", std::string("GIF89a\x01\0\x01\0", 10));
    WriteBytes(dir + "\\legacy.zip", LegacyZip(kLegacyEntries));
    WriteBytes(dir + "\\empty.dat", "");
    for (const char* type : {"7z", "tar", "gzip"}) {
        ASSERT_EQ(Sz(std::string("a -hide -t") + type + " " + Q(dir + "\\packed." + type) + " " +
                     Q(dir + "\\text.txt")),
                  0);
    }
    static const std::pair<const char*, int> kKinds[] = {
        {"text.txt", -1},  {"image.png", -1}, {"image.jpg", -1},  {"image.gif", -1},
        {"legacy.zip", 1}, {"packed.7z", 2},  {"packed.tar", 0},  {"packed.gzip", 0},
        {"empty.dat", -1}, {"", -1},          {"missing.7z", -1},
    };
    for (const auto& k : kKinds) {
        std::string path = *k.first ? dir + "\\" + k.first : dir;
        int type = Library().SevenZipGetArchiveType(path.c_str());
        EXPECT_EQ(type, k.second) << k.first;
        EXPECT_EQ(type >= 0, Sz("l -hide " + Q(path)) == 0)
            << k.first << ": not the engine's answer";
    }
}

TEST(JapaneseLibrary, LegacyZipNamesLandReadableThroughTessaroAndInTheListing) {
    std::string dir = MakeTempDir("i9-legacy"), zip = dir + "\\legacy.zip";
    WriteBytes(zip, LegacyZip(kLegacyEntries));
    std::string stage = StageTessaro("i9-legacy-stage", BuildBinDir());
    char user[256] = {0};
    DWORD size = sizeof user;
    GetUserNameA(user, &size);
    WriteBytes(stage + "\\Tessaro_" + user + ".ini",
               "[Tessaro]\r\nCOMPESS=SAMEPLACE\r\nCOMP_OPEN=FALSE\r\nDECOMPESS=SAMEPLACE\r\nDECOMP_"
               "OPEN=FALSE\r\nDECOMP_ALL=TRUE\r\n"
               "DECOMP_DIR=TRUE\r\n");
    ASSERT_EQ(RunProcess(stage + "\\Tessaro.exe", {zip}, std::string(), 60000), 0u);
    std::vector<std::string> expected = {"bad%81 x%5C.txt", "ソ/", "表ソ.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir + "\\legacy"), expected);
    EXPECT_EQ(ReadBytes(dir + "\\legacy\\表ソ.txt"), "one");
    EXPECT_EQ(ReadBytes(dir + "\\legacy\\ソ\\能.txt"), "two");
    EXPECT_EQ(ReadBytes(dir + "\\legacy\\bad%81 x%5C.txt"), "three");
    // Flat extraction and the listing give the same names.
    ASSERT_EQ(Sz("e -hide " + Q(zip) + " -o" + Q(dir + "\\flat")), 0);
    expected = {"bad%81 x%5C.txt", "ソ/", "表ソ.txt", "能.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir + "\\flat"), expected);
    std::string listing;
    ASSERT_EQ(Sz("l -hide " + Q(zip), &listing), 0);
    for (const char* name : {"表ソ.txt", "ソ/能.txt", "bad%81 x%5C.txt"}) {
        EXPECT_NE(listing.find(name), std::string::npos) << name << " in\n" << listing;
    }
}

TEST(JapaneseLibrary, AMissingInputIsNamedInOneJapaneseSentence) {
    std::string dir = MakeTempDir("i9-missing");
    DialogWatcher boxes(SZ_TEXT_TITLE);
    EXPECT_EQ(Sz("a -hide " + Q(dir + "\\a.7z") + " " + Q(dir + "\\無い.txt")), 0x8101);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    // Named as the user gave it, and the engine never started.
    EXPECT_EQ(boxes.Seen()[0].text, "「" + dir + "\\無い.txt」が見つかりません。");
    EXPECT_EQ(GetFileAttributesA((dir + "\\a.7z").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(JapaneseLibrary, ProgressShowsBarSizesAndTimesAndCancelStopsAtOnce) {
    std::string dir = MakeTempDir("i9-progress"), archive = dir + "\\進行.7z";
    std::string noise(40u * 1024u * 1024u, '\0');
    unsigned seed = 99;
    for (char& c : noise) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 24);
    }
    WriteBytes(dir + "\\noise.bin", noise);
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, NULL,
                                 NULL, NULL, NULL);
    { // A short run shows no window at all.
        DialogWatcher quick(SZ_TEXT_PROGRESS_CAPTION);
        WriteBytes(dir + "\\small.txt", "small");
        ASSERT_EQ(Sz("a " + Q(dir + "\\quick.7z") + " " + Q(dir + "\\small.txt"), nullptr, owner),
                  0);
        EXPECT_EQ(quick.Seen().size(), 0u);
    }
    DialogWatcher window(SZ_TEXT_PROGRESS_CAPTION);
    window.SetDefaultAnswer(IDCANCEL);
    std::string title, sizes, times;
    int position = -1;
    BOOL ownerEnabled = TRUE;
    window.SetAction([&](HWND progress) {
        for (int i = 0; i < 100 && position <= 0; i++, Sleep(100)) {
            position = (int)SendDlgItemMessageA(progress, SZ_ID_PROGRESS_BAR, PBM_GETPOS, 0, 0);
        }
        char text[256] = {0};
        GetWindowTextA(progress, text, sizeof text);
        title = text;
        GetDlgItemTextA(progress, SZ_ID_PROGRESS_SIZE, text, sizeof text);
        sizes = text;
        GetDlgItemTextA(progress, SZ_ID_PROGRESS_TIME, text, sizeof text);
        times = text;
        ownerEnabled = IsWindowEnabled(owner);
    });
    EXPECT_EQ(Sz("a -t7z -mx=9 " + Q(archive) + " " + Q(dir + "\\noise.bin"), nullptr, owner),
              0x8020);
    EXPECT_EQ(title, "進行.7z - 7-zip32.dll - 処理中");
    EXPECT_GT(position, 0);
    EXPECT_EQ(sizes.substr(0, 10), "処理済み: ");
    EXPECT_NE(sizes.find(" / 全体: 40.0 MB"), std::string::npos) << sizes;
    EXPECT_EQ(times.substr(0, 10), "経過時間: ");
    EXPECT_FALSE(ownerEnabled);
    EXPECT_FALSE(FileExists(archive));
    DestroyWindow(owner);
}

} // namespace
