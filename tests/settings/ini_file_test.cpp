// Loading and saving the settings file through the platform's profile
// functions: exact bytes written, validation of every key, failure roads.
#include "tests/settings/settings_fixture.h"
#include <gtest/gtest.h>

namespace {

// Each test file gets a name of its own: the profile functions keep recently
// read files cached.
std::string FreshPath(const std::string& stem) {
    static int serial = 0;
    return ScratchDir() + stem + std::to_string(++serial) + ".ini";
}

Options LoadText(const std::string& fileText) {
    std::string path = FreshPath("load");
    WriteBytes(path, fileText);
    CINI ini;
    LoadFrom(ini, path);
    return Snapshot(ini);
}

TEST(SaveSettings, WritesTheTenKeysInOrderByteForByte) {
    std::string path = FreshPath("save");
    CINI ini;
    LoadFrom(ini, path); // missing file: defaults, nothing written
    EXPECT_EQ(ReadBytes(path), "<missing>");
    ini.SaveSettings();
    EXPECT_EQ(ReadBytes(path), "[Tessaro]\r\n"
                               "DECOMPESS=DESKTOP\r\n"
                               "DECOMP_ALL=TRUE\r\n"
                               "DECOMP_DIR=TRUE\r\n"
                               "DECOMP_OPEN=TRUE\r\n"
                               "COMPESS=DESKTOP\r\n"
                               "COMP_FORMAT=7Z\r\n"
                               "COMP_LEVEL=LEVEL3\r\n"
                               "COMP_ENCRYPT=TRUE\r\n"
                               "COMP_ENC_METHOD=ZipCrypto\r\n"
                               "COMP_OPEN=TRUE\r\n");
}

TEST(SaveSettings, SpellsFlagsAndReplacesValuesInPlace) {
    std::string path = FreshPath("save");
    CINI ini;
    LoadFrom(ini, path);
    ini.SaveSettings();
    Assign(ini,
           {"DECIDE", false, true, false, "SAMEPLACE", "ZIP", "LEVEL0", false, "AES256", false});
    ini.SaveSettings();
    EXPECT_EQ(ReadBytes(path), "[Tessaro]\r\n"
                               "DECOMPESS=DECIDE\r\n"
                               "DECOMP_ALL=FALSE\r\n"
                               "DECOMP_DIR=TRUE\r\n"
                               "DECOMP_OPEN=FALSE\r\n"
                               "COMPESS=SAMEPLACE\r\n"
                               "COMP_FORMAT=ZIP\r\n"
                               "COMP_LEVEL=LEVEL0\r\n"
                               "COMP_ENCRYPT=FALSE\r\n"
                               "COMP_ENC_METHOD=AES256\r\n"
                               "COMP_OPEN=FALSE\r\n");
}

TEST(SaveSettings, ThenLoadGivesTheSameRecord) {
    const Options records[] = {
        kDefaultOptions,
        {"SAMEPLACE", false, false, false, "DECIDE", "ZIP", "LEVEL0", false, "AES128", false},
        {"DECIDE", true, false, true, "SAMEPLACE", "7Z", "LEVEL5", true, "AES256", false},
        {"DESKTOP", false, true, false, "DESKTOP", "ZIP", "LEVEL1", false, "ZipCrypto", true},
        {"SAMEPLACE", true, true, false, "SAMEPLACE", "ZIP", "LEVEL2", true, "AES256", true},
        {"DECIDE", false, false, true, "DECIDE", "7Z", "LEVEL4", false, "AES128", true},
    };
    std::string reused = FreshPath("roundtrip");
    for (const Options& record : records) {
        for (const std::string& path : {FreshPath("roundtrip"), reused}) {
            CINI saved;
            LoadFrom(saved, path);
            Assign(saved, record);
            saved.SaveSettings();
            CINI loaded;
            LoadFrom(loaded, path);
            EXPECT_EQ(Snapshot(loaded), record) << path;
        }
    }
}

TEST(LoadSettings, FallsBackPerKey) {
    Options expected = kDefaultOptions;
    expected.DECOMP_DIR = false;
    EXPECT_EQ(LoadText("[Tessaro]\r\nCOMPESS=SamePlace\r\nCOMP_LEVEL=LEVEL9\r\n"
                       "DECOMP_DIR=true\r\nCOMP_OPEN=\r\n"),
              expected);
}

// Every key holds a value other than its fallback, so a fallback stored in
// the wrong field shows.
const char* const kAllChanged[][2] = {
    {"DECOMPESS", "DECIDE"},  {"DECOMP_ALL", "FALSE"},   {"DECOMP_DIR", "FALSE"},
    {"DECOMP_OPEN", "FALSE"}, {"COMPESS", "SAMEPLACE"},  {"COMP_FORMAT", "ZIP"},
    {"COMP_LEVEL", "LEVEL5"}, {"COMP_ENCRYPT", "FALSE"}, {"COMP_ENC_METHOD", "AES256"},
    {"COMP_OPEN", "FALSE"},
};
const Options kAllChangedOptions = {"DECIDE", false,    false, false,    "SAMEPLACE",
                                    "ZIP",    "LEVEL5", false, "AES256", false};

// The section with every key changed, and key's line holding value instead.
std::string AllChangedExcept(const std::string& key, const std::string& value) {
    std::string file = "[Tessaro]\r\n";
    for (const auto& line : kAllChanged) {
        file += std::string(line[0]) + "=" + (key == line[0] ? value : line[1]) + "\r\n";
    }
    return file;
}

// A flag key's expected value is written "TRUE" or "FALSE".
struct KeyCase {
    const char* key;
    std::string value;
    const char* expected;
};

const std::string kOverlong(200, 'A');

const KeyCase kKeyCases[] = {
    {"DECOMP_ALL", "TRUE", "TRUE"},
    {"DECOMP_ALL", "True", "FALSE"},
    {"DECOMP_DIR", "true", "FALSE"},
    {"DECOMP_OPEN", "1", "FALSE"},
    {"COMP_ENCRYPT", "yes", "FALSE"},
    {"COMP_OPEN", "TRUE1", "FALSE"},
    {"COMP_OPEN", "TRU", "FALSE"},
    {"COMP_OPEN", "TRUE" + kOverlong, "FALSE"},
    // The platform's reader drops blanks around a value and one pair of
    // enclosing quotes (double or single), so these still read as TRUE.
    {"DECOMP_ALL", "TRUE ", "TRUE"},
    {"DECOMP_ALL", "  TRUE", "TRUE"},
    {"DECOMP_ALL", "\"TRUE\"", "TRUE"},
    {"DECOMP_ALL", "\"TRUE\" ", "TRUE"},
    {"DECOMP_ALL", "'TRUE'", "TRUE"},
    {"DECOMP_ALL", "\"TRUE", "FALSE"},
    {"DECOMP_ALL", "\"TRUE'", "FALSE"},
    // Present but empty: nothing copied, the field keeps its default.
    {"DECOMP_DIR", "", "TRUE"},
    {"DECOMPESS", "", "DESKTOP"},
    {"DECOMPESS", "SAMEPLACE", "SAMEPLACE"},
    {"DECOMPESS", "DESKTOP", "DESKTOP"},
    {"DECOMPESS", "desktop", "DESKTOP"},
    {"DECOMPESS", "DECIDEX", "DESKTOP"},
    {"COMPESS", "SamePlace", "DESKTOP"},
    {"COMPESS", "DECIDE", "DECIDE"},
    {"COMPESS", "SAMEPLACE" + kOverlong, "DESKTOP"},
    {"COMP_FORMAT", "zip", "7Z"},
    {"COMP_FORMAT", "7z", "7Z"},
    {"COMP_FORMAT", "ZIPX", "7Z"},
    {"COMP_FORMAT", "7Z", "7Z"},
    {"COMP_LEVEL", "LEVEL0", "LEVEL0"},
    {"COMP_LEVEL", "LEVEL6", "LEVEL3"},
    {"COMP_LEVEL", "level1", "LEVEL3"},
    {"COMP_LEVEL", "LEVEL", "LEVEL3"},
    {"COMP_ENC_METHOD", "AES192", "ZipCrypto"},
    {"COMP_ENC_METHOD", "AES128", "AES128"},
    {"COMP_ENC_METHOD", "zipcrypto", "ZipCrypto"},
    {"COMP_ENC_METHOD", "ZipCrypto", "ZipCrypto"},
    {"COMP_ENC_METHOD", "ＡＥＳ１２８", "ZipCrypto"},
    {"COMP_ENC_METHOD", kOverlong, "ZipCrypto"},
};

// The field of each key in Options.
const struct {
    const char* key;
    std::string Options::*text;
    bool Options::*flag;
} kFields[] = {
    {"DECOMPESS", &Options::DECOMPESS, nullptr},
    {"DECOMP_ALL", nullptr, &Options::DECOMP_ALL},
    {"DECOMP_DIR", nullptr, &Options::DECOMP_DIR},
    {"DECOMP_OPEN", nullptr, &Options::DECOMP_OPEN},
    {"COMPESS", &Options::COMPESS, nullptr},
    {"COMP_FORMAT", &Options::COMP_FORMAT, nullptr},
    {"COMP_LEVEL", &Options::COMP_LEVEL, nullptr},
    {"COMP_ENCRYPT", nullptr, &Options::COMP_ENCRYPT},
    {"COMP_ENC_METHOD", &Options::COMP_ENC_METHOD, nullptr},
    {"COMP_OPEN", nullptr, &Options::COMP_OPEN},
};

void SetExpected(Options& options, const std::string& key, const std::string& expected) {
    for (const auto& field : kFields) {
        if (key == field.key && field.text != nullptr) {
            options.*field.text = expected;
        } else if (key == field.key) {
            options.*field.flag = expected == "TRUE";
        }
    }
}

TEST(LoadSettings, ValidatesEachKeyAlone) {
    for (const KeyCase& c : kKeyCases) {
        Options expected = kAllChangedOptions;
        SetExpected(expected, c.key, c.expected);
        EXPECT_EQ(LoadText(AllChangedExcept(c.key, c.value)), expected) << c.key << "=" << c.value;
    }
}

// The reader cuts a long value to the 127 bytes that fit, and that is not a
// value of any set.
TEST(LoadSettings, ALongValueIsCutAndRejected) {
    std::string path = FreshPath("long");
    WriteBytes(path, "[Tessaro]\r\nCOMP_LEVEL=LEVEL5" + kOverlong + "\r\n");
    char value[128];
    memset(value, 'x', sizeof value);
    EXPECT_EQ(
        GetPrivateProfileStringA(INI_SECTION, "COMP_LEVEL", "", value, sizeof value, path.c_str()),
        127u);
    EXPECT_EQ(value[127], '\0');
    CINI ini;
    LoadFrom(ini, path);
    EXPECT_EQ(Snapshot(ini), kDefaultOptions);
}

// Whatever keeps the file from being read leaves every default in place.
TEST(LoadSettings, UnreadableOrEmptyFilesGiveDefaults) {
    struct FileCase {
        const char* what;
        const char* contents; // null: no file at all
    };
    const FileCase cases[] = {
        {"missing file", NULL},
        {"empty file", ""},
        {"section without keys", "[Tessaro]\r\n"},
        {"keys of another section", "[Other]\r\nCOMP_FORMAT=ZIP\r\nDECOMP_ALL=FALSE\r\n"},
        {"keys outside any section", "COMP_FORMAT=ZIP\r\nDECOMP_ALL=FALSE\r\n"},
        {"section misspelled", "[Tessar0]\r\nCOMP_FORMAT=ZIP\r\n"},
    };
    for (const FileCase& c : cases) {
        std::string path = FreshPath("empty");
        if (c.contents != NULL) {
            WriteBytes(path, c.contents);
        }
        CINI ini;
        LoadFrom(ini, path);
        EXPECT_EQ(Snapshot(ini), kDefaultOptions) << c.what;
        EXPECT_EQ(ReadBytes(path), c.contents ? c.contents : "<missing>") << c.what;
    }
}

TEST(LoadSettings, AFileThatCannotBeOpenedGivesDefaults) {
    std::string dirPath = FreshPath("dir");
    ASSERT_TRUE(CreateDirectoryA(dirPath.c_str(), NULL));
    CINI ini;
    LoadFrom(ini, dirPath);
    EXPECT_EQ(Snapshot(ini), kDefaultOptions) << "a folder under the INI name";

    std::string locked = FreshPath("locked");
    WriteBytes(locked, AllChangedExcept("", ""));
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    LoadFrom(ini, locked);
    EXPECT_EQ(Snapshot(ini), kDefaultOptions) << "a file held open without sharing";
    CloseHandle(hold);
    LoadFrom(ini, locked);
    EXPECT_EQ(Snapshot(ini), kAllChangedOptions) << "the same file released";
}

// Loading again starts from the defaults, not from what the record held.
TEST(LoadSettings, StartsFromTheDefaults) {
    CINI ini;
    Assign(ini, kAllChangedOptions);
    LoadFrom(ini, FreshPath("absent"));
    EXPECT_EQ(Snapshot(ini), kDefaultOptions);
    Assign(ini, kAllChangedOptions);
    ini.iniPath[0] = '\0';
    ini.LoadSettings();
    EXPECT_EQ(Snapshot(ini), kDefaultOptions);
}

} // namespace
