// Whatever a settings file holds, the loaded record keeps its invariants:
// each text field one value of its set, terminated inside the field, and
// each flag 0 or 1.
#include "tests/settings/settings_fixture.h"
#include <gtest/gtest.h>
#include <random>

namespace {

const char* const kKeys[] = {"DECOMPESS",
                             "DECOMP_ALL",
                             "DECOMP_DIR",
                             "DECOMP_OPEN",
                             "COMPESS",
                             "COMP_FORMAT",
                             "COMP_LEVEL",
                             "COMP_ENCRYPT",
                             "COMP_ENC_METHOD",
                             "COMP_OPEN",
                             "decompess",
                             "Comp_Level",
                             "COMP",
                             "",
                             "COMP_OPEN_X"};
const char* const kValues[] = {"DESKTOP", "SAMEPLACE",  "DECIDE", "ZIP",  "7Z",       "LEVEL0",
                               "LEVEL5",  "LEVEL9",     "AES256", "TRUE", "FALSE",    "true",
                               "",        "\"DECIDE\"", " ZIP ",  "表",   "ZipCrypto"};

class FileGenerator {
  public:
    explicit FileGenerator(unsigned seed) : random_(seed) {}

    std::string Next() {
        std::string file;
        if (Chance(10)) {
            file += Pick({"\xEF\xBB\xBF", "\xFF\xFE"}); // UTF-8 or UTF-16 byte order mark
        }
        int lines = Below(25);
        for (int i = 0; i < lines; ++i) {
            switch (Below(8)) {
            case 0: file += Pick({"[Tessaro]", "[tessaro]"}); break;
            case 1: file += "[" + Bytes(Below(12)) + "]"; break;
            case 2: file += Bytes(Below(40)); break;
            case 3:
                file += Pick(kKeys) + "=" + Bytes(Chance(4) ? 100 + Below(5000) : Below(20));
                break;
            default: file += Pick(kKeys) + Pick({"=", " = "}) + Pick(kValues);
            }
            file += Pick({"\r\n", "\n", "\r"});
        }
        return file;
    }

  private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(int oneIn) { return Below(oneIn) == 0; }
    template <size_t N> std::string Pick(const char* const (&items)[N]) { return items[Below(N)]; }
    // Any bytes at all, with NUL, line ends, '=', '[' and lead bytes of
    // double-byte characters among them.
    std::string Bytes(int count) {
        std::string bytes;
        for (int i = 0; i < count; ++i) {
            bytes += (char)Below(256);
        }
        return bytes;
    }
    std::mt19937 random_;
};

template <size_t N>
void ExpectValueOfSet(const char (&field)[N], const char* const* values, int count,
                      const char* name, int fileIndex) {
    const void* end = memchr(field, '\0', N);
    ASSERT_NE(end, nullptr) << name << " unterminated, file " << fileIndex;
    EXPECT_GE(FindValue(values, count, field), 0) << name << "=" << field << ", file " << fileIndex;
}

void ExpectFlag(const bool& flag, const char* name, int fileIndex) {
    unsigned char byte;
    memcpy(&byte, &flag, 1);
    EXPECT_LE(byte, 1) << name << ", file " << fileIndex;
}

TEST(LoadSettings, AnyFileGivesAValidRecord) {
    const int kFiles = 1000;
    std::string dir = MakeScratchSubdir("generated");
    FileGenerator generator(20261206);
    // Guard bytes around the record show a write past its end.
    struct Guarded {
        CINI ini;
        char after[64];
    };
    Guarded* guarded = new Guarded;
    memset(guarded->after, 0x5A, sizeof guarded->after);
    int changed = 0; // records that differ from the defaults
    for (int i = 0; i < kFiles; ++i) {
        std::string path = dir + std::to_string(i) + ".ini";
        WriteBytes(path, generator.Next());
        CINI& ini = guarded->ini;
        memset(ini.DECOMPESS, 0x7F, sizeof ini.DECOMPESS);
        LoadFrom(ini, path);
        ExpectValueOfSet(ini.DECOMPESS, kDestinationKinds, DEST_KIND_COUNT, "DECOMPESS", i);
        ExpectValueOfSet(ini.COMPESS, kDestinationKinds, DEST_KIND_COUNT, "COMPESS", i);
        ExpectValueOfSet(ini.COMP_FORMAT, kFormats, FORMAT_COUNT, "COMP_FORMAT", i);
        ExpectValueOfSet(ini.COMP_LEVEL, kLevels, LEVEL_COUNT, "COMP_LEVEL", i);
        ExpectValueOfSet(ini.COMP_ENC_METHOD, kEncMethods, ENC_METHOD_COUNT, "COMP_ENC_METHOD", i);
        ExpectFlag(ini.DECOMP_ALL, "DECOMP_ALL", i);
        ExpectFlag(ini.DECOMP_DIR, "DECOMP_DIR", i);
        ExpectFlag(ini.DECOMP_OPEN, "DECOMP_OPEN", i);
        ExpectFlag(ini.COMP_ENCRYPT, "COMP_ENCRYPT", i);
        ExpectFlag(ini.COMP_OPEN, "COMP_OPEN", i);
        EXPECT_EQ(ini.iniPath, path) << "path changed by loading, file " << i;
        changed += Snapshot(ini) == kDefaultOptions ? 0 : 1;
        DeleteFileA(path.c_str());
        if (HasFailure()) {
            break;
        }
    }
    // The files must reach the keys often enough to mean something.
    EXPECT_GT(changed, kFiles / 5);
    for (char guard : guarded->after) {
        ASSERT_EQ(guard, 0x5A) << "written past the record";
    }
    delete guarded;
}

} // namespace
