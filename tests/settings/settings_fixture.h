// Shared helpers of the settings tests: a private folder, whole-file reads
// and writes, stand-in user name and module path sources, record snapshots.
#pragma once
#include "settings/ini.h"
#include <ostream>
#include <string>
#include <vector>

// The ten options of a record as plain values, for comparing and printing.
struct Options {
    std::string DECOMPESS;
    bool DECOMP_ALL;
    bool DECOMP_DIR;
    bool DECOMP_OPEN;
    std::string COMPESS;
    std::string COMP_FORMAT;
    std::string COMP_LEVEL;
    bool COMP_ENCRYPT;
    std::string COMP_ENC_METHOD;
    bool COMP_OPEN;
    bool operator==(const Options& other) const;
};
std::ostream& operator<<(std::ostream& out, const Options& options);

extern const Options kDefaultOptions;

// The options a record holds now.
Options Snapshot(const CINI& ini);
// Assigns options to a record's fields, as the main window does.
void Assign(CINI& ini, const Options& options);
// Points the record at path and loads it (defaults first).
void LoadFrom(CINI& ini, const std::string& path);

// This program's own scratch folder, with a trailing backslash; emptied and
// removed at exit.
const std::string& ScratchDir();
// A new subfolder of the scratch folder, with a trailing backslash.
std::string MakeScratchSubdir(const std::string& name);
void WriteBytes(const std::string& path, const std::string& bytes);
// The whole file, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);
// Names of the entries of a folder (without . and ..), sorted.
std::vector<std::string> ListFolder(const std::string& dir);

// While alive, the INI path is made from modulePath and userName instead of
// the system's answers. A null modulePath makes the module path source fail;
// a null userName makes the user name source fail.
class ScopedPathSources {
  public:
    ScopedPathSources(const char* modulePath, const char* userName);
    ~ScopedPathSources();
};
