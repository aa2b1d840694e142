// Shared helpers of the settings tests: a record as one line of its ten
// values in file order (flags TRUE or FALSE), and a scratch folder.
#pragma once
#include "settings/ini.h"
#include "tests/support/files.h"
#include <sstream>
#include <stdio.h>
#include <string>

// The keys in file order.
const char* const kKeys[10] = {"DECOMPESS",       "DECOMP_ALL",  "DECOMP_DIR", "DECOMP_OPEN",
                               "COMPESS",         "COMP_FORMAT", "COMP_LEVEL", "COMP_ENCRYPT",
                               "COMP_ENC_METHOD", "COMP_OPEN"};
const char kDefaults[] = "DESKTOP TRUE TRUE TRUE DESKTOP 7Z LEVEL3 TRUE ZipCrypto TRUE";
// Every value other than its default, so a value stored in the wrong field shows.
const char kChanged[] = "DECIDE FALSE FALSE FALSE SAMEPLACE ZIP LEVEL5 FALSE AES256 FALSE";

// The record a CINI holds now; a flag byte other than 0 or 1 shows as BAD.
inline std::string Snapshot(const CINI& i) {
    auto f = [](const bool& flag) {
        unsigned char byte = *(const unsigned char*)&flag;
        return byte == 1 ? "TRUE" : byte == 0 ? "FALSE" : "BAD";
    };
    char line[160] = {0};
    snprintf(line, sizeof line - 1, "%s %s %s %s %s %s %s %s %s %s", i.DECOMPESS, f(i.DECOMP_ALL),
             f(i.DECOMP_DIR), f(i.DECOMP_OPEN), i.COMPESS, i.COMP_FORMAT, i.COMP_LEVEL,
             f(i.COMP_ENCRYPT), i.COMP_ENC_METHOD, f(i.COMP_OPEN));
    return line;
}

// Sets a CINI's fields from a record, as the main window does.
inline void Assign(CINI& i, const std::string& record) {
    char f[5][6] = {};
    sscanf(record.c_str(), "%9s %5s %5s %5s %9s %3s %6s %5s %9s %5s", i.DECOMPESS, f[0], f[1], f[2],
           i.COMPESS, i.COMP_FORMAT, i.COMP_LEVEL, f[3], i.COMP_ENC_METHOD, f[4]);
    bool* flags[5] = {&i.DECOMP_ALL, &i.DECOMP_DIR, &i.DECOMP_OPEN, &i.COMP_ENCRYPT, &i.COMP_OPEN};
    for (int k = 0; k < 5; ++k) {
        *flags[k] = strcmp(f[k], "TRUE") == 0;
    }
}

// record with key's value replaced: as a record, or as the settings file
// that saving it writes when asFile.
inline std::string With(const std::string& record, const std::string& key = "",
                        const std::string& value = "", bool asFile = false) {
    std::istringstream in(record);
    std::string out = asFile ? "[Tessaro]\r\n" : "", word;
    for (const char* name : kKeys) {
        in >> word;
        std::string v = key == name ? value : word;
        out += asFile ? name + ("=" + v) + "\r\n" : (out.empty() ? "" : " ") + v;
    }
    return out;
}

// Points the record at path and loads it.
inline void LoadFrom(CINI& ini, const std::string& path) {
    strncpy(ini.iniPath, path.c_str(), MAX_PATH);
    ini.LoadSettings();
}

// A new path in a scratch folder removed at exit: the profile functions cache
// recently read files, so each test file gets a name of its own.
inline std::string FreshPath(const std::string& stem, const char* ext = ".ini") {
    static struct Scratch {
        std::string dir = testsupport::MakeTempDir("settings");
        ~Scratch() { testsupport::RemoveTree(dir); }
    } scratch;
    static int serial = 0;
    return scratch.dir + "\\" + stem + std::to_string(++serial) + ext;
}
