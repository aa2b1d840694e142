// Loading and saving the settings file through the platform's profile
// functions: exact bytes written, validation of every key, failure roads.
#include "tests/settings/settings_fixture.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <random>
#include <regex>

using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

std::string LoadText(const std::string& fileText, std::string path = FreshPath("load")) {
    WriteBytes(path, fileText);
    CINI ini;
    LoadFrom(ini, path);
    EXPECT_EQ(ReadBytes(path), fileText) << "loading wrote to the file";
    return Snapshot(ini);
}

TEST(SaveSettings, WritesTheTenKeysInOrderAndLoadsTheSameBack) {
    std::string reused = FreshPath("save"); // saved over again: values replaced in place
    CINI ini, loaded;
    LoadFrom(ini, reused); // a missing file gives the defaults and is not written
    EXPECT_FALSE(testsupport::FileExists(reused));
    ini.SaveSettings();
    EXPECT_EQ(ReadBytes(reused), "[Tessaro]\r\nDECOMPESS=DESKTOP\r\nDECOMP_ALL=TRUE\r\n"
                                 "DECOMP_DIR=TRUE\r\nDECOMP_OPEN=TRUE\r\nCOMPESS=DESKTOP\r\n"
                                 "COMP_FORMAT=7Z\r\nCOMP_LEVEL=LEVEL3\r\nCOMP_ENCRYPT=TRUE\r\n"
                                 "COMP_ENC_METHOD=ZipCrypto\r\nCOMP_OPEN=TRUE\r\n");
    for (const char* record :
         {kChanged, "SAMEPLACE FALSE FALSE FALSE DECIDE ZIP LEVEL0 FALSE AES128 FALSE",
          "DECIDE TRUE FALSE TRUE SAMEPLACE 7Z LEVEL1 TRUE AES256 FALSE",
          "DESKTOP FALSE TRUE FALSE DESKTOP ZIP LEVEL2 FALSE ZipCrypto TRUE",
          "SAMEPLACE TRUE TRUE FALSE SAMEPLACE ZIP LEVEL4 TRUE AES256 TRUE", kDefaults}) {
        for (const std::string& path : {FreshPath("save"), reused}) {
            LoadFrom(ini, path);
            Assign(ini, record);
            ini.SaveSettings();
            EXPECT_EQ(ReadBytes(path), With(record, "", "", true));
            LoadFrom(loaded, path);
            EXPECT_EQ(Snapshot(loaded), record) << path;
        }
    }
}

// Each key alone amid changed values, so that a value stored in the wrong
// field shows: every raw value of a row reads as expected.
TEST(LoadSettings, ValidatesEachKeyAlone) {
    const std::string A200(200, 'A');
    const struct {
        const char *key, *expected;
        std::vector<std::string> raw;
    } cases[] = {
        // The platform's reader drops blanks around a value and one pair of
        // enclosing quotes; then a flag is TRUE only for exactly "TRUE".
        {"DECOMP_ALL", "TRUE", {"TRUE", "TRUE ", "  TRUE", "\"TRUE\"", "\"TRUE\" ", "'TRUE'"}},
        {"DECOMP_ALL", "FALSE", {"True", "\"TRUE", "\"TRUE'"}},
        {"DECOMP_DIR", "FALSE", {"true"}},
        {"DECOMP_OPEN", "FALSE", {"1"}},
        {"COMP_ENCRYPT", "FALSE", {"yes"}},
        {"COMP_OPEN", "FALSE", {"TRUE1", "TRU", "TRUE" + A200}},
        // Present but empty: nothing is copied, the field keeps its default.
        {"DECOMP_DIR", "TRUE", {""}},
        {"DECOMPESS", "DESKTOP", {"", "DESKTOP", "desktop", "DECIDEX"}},
        {"DECOMPESS", "SAMEPLACE", {"SAMEPLACE"}},
        {"COMPESS", "DESKTOP", {"SamePlace", "SAMEPLACE" + A200}},
        {"COMPESS", "DECIDE", {"DECIDE"}},
        {"COMP_FORMAT", "7Z", {"zip", "7z", "ZIPX", "7Z"}},
        // A long value comes back cut to 127 bytes, which no value set accepts.
        {"COMP_LEVEL", "LEVEL3", {"LEVEL6", "level1", "LEVEL", "LEVEL5" + A200}},
        {"COMP_LEVEL", "LEVEL0", {"LEVEL0"}},
        {"COMP_ENC_METHOD",
         "ZipCrypto",
         {"AES192", "zipcrypto", "ZipCrypto", "ＡＥＳ１２８", A200}},
        {"COMP_ENC_METHOD", "AES128", {"AES128"}},
    };
    for (const auto& c : cases) {
        for (const std::string& raw : c.raw) {
            EXPECT_EQ(LoadText(With(kChanged, c.key, raw, true)), With(kChanged, c.key, c.expected))
                << c.key << "=" << raw;
        }
    }
}

// Whatever keeps the file from being read leaves every default in place.
TEST(LoadSettings, UnreadableOrEmptyFilesGiveDefaults) {
    for (const char* text : {"", "[Tessaro]\r\n", "[Tessar0]\r\nCOMP_FORMAT=ZIP\r\n",
                             "[Other]\r\nCOMP_FORMAT=ZIP\r\nDECOMP_ALL=FALSE\r\n",
                             "COMP_FORMAT=ZIP\r\nDECOMP_ALL=FALSE\r\n"}) {
        EXPECT_EQ(LoadText(text), kDefaults) << text;
    }
    CINI ini;
    std::string dir = FreshPath("dir"), locked = FreshPath("locked");
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    WriteBytes(locked, With(kChanged, "", "", true));
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    // Loading starts from the defaults, not from what the record held.
    for (const std::string& path : {FreshPath("absent"), std::string(), dir, locked}) {
        Assign(ini, kChanged);
        LoadFrom(ini, path);
        EXPECT_EQ(Snapshot(ini), kDefaults) << "'" << path << "'";
    }
    CloseHandle(hold);
    LoadFrom(ini, locked);
    EXPECT_EQ(Snapshot(ini), kChanged) << "the same file released";
}

// Whatever a file holds, each text field is one value of its set, terminated
// inside its field, each flag 0 or 1, and nothing is written past the record.
TEST(LoadSettings, AnyFileGivesAValidRecord) {
    const char* const odd[] = {"decompess", "COMP", ""};
    const char* const values[] = {"DESKTOP",    "DECIDE", "ZIP",  "7Z",   "LEVEL5",
                                  "LEVEL9",     "AES256", "TRUE", "true", "",
                                  "\"DECIDE\"", " ZIP ",  "表"};
    const std::regex valid(
        "(DESKTOP|SAMEPLACE|DECIDE)( TRUE| FALSE){3} (DESKTOP|SAMEPLACE|DECIDE) "
        "(ZIP|7Z) LEVEL[0-5]( TRUE| FALSE) (ZipCrypto|AES128|AES256)( TRUE| FALSE)");
    std::mt19937 random(20261206);
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    // Stray bytes: NUL, line ends, '=', '[' and lead bytes of double-byte characters.
    auto bytes = [&](int count) {
        std::string b;
        while (count-- > 0) {
            b += (char)below(256);
        }
        return b;
    };
    struct Guarded {
        CINI ini;
        char after[64];
    }* guarded = new Guarded;
    memset(guarded->after, 0x5A, sizeof guarded->after);
    int changed = 0;
    for (int i = 0; i < 1000 && !HasFailure(); ++i) {
        std::string file = below(10) ? "" : below(2) ? "\xEF\xBB\xBF" : "\xFF\xFE";
        for (int lines = below(25); lines > 0; --lines) {
            int kind = below(8);
            std::string name = below(4) ? kKeys[below(10)] : odd[below(3)],
                        value = values[below(13)];
            file += kind == 0   ? std::string(below(2) ? "[Tessaro]" : "[tessaro]")
                    : kind == 1 ? "[" + bytes(below(12)) + "]"
                    : kind == 2 ? bytes(below(40))
                    : kind == 3 ? name + "=" + bytes(below(4) ? below(20) : 100 + below(5000))
                                : name + (below(2) ? "=" : " = ") + value;
            file += below(3) == 0 ? "\r\n" : below(2) ? "\n" : "\r";
        }
        std::string path = FreshPath("random");
        WriteBytes(path, file);
        memset(guarded->ini.DECOMPESS, 0x7F, sizeof guarded->ini.DECOMPESS);
        LoadFrom(guarded->ini, path);
        std::string record = Snapshot(guarded->ini);
        EXPECT_TRUE(std::regex_match(record, valid)) << record << ", file " << i;
        EXPECT_EQ(guarded->ini.iniPath, path) << "path changed by loading, file " << i;
        changed += record != kDefaults;
        DeleteFileA(path.c_str());
    }
    EXPECT_GT(changed, 200) << "the files must reach the keys often enough to mean something";
    EXPECT_EQ(std::string(guarded->after, 64), std::string(64, 0x5A)) << "written past the record";
    delete guarded;
}

} // namespace
