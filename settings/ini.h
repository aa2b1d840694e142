// The settings record: ten options with defaults, kept per user in an INI
// file beside the executable.
#pragma once
#include <windows.h>

#define INI_SECTION "Tessaro"

// Where the INI path's parts come from, shaped like GetUserNameA and
// GetModuleFileNameA. The program uses those; tests put in their own.
typedef BOOL(WINAPI* UserNameSource)(LPSTR buffer, LPDWORD bufferSize);
typedef DWORD(WINAPI* ModulePathSource)(HMODULE module, LPSTR buffer, DWORD bufferSize);
extern UserNameSource g_userNameSource;
extern ModulePathSource g_modulePathSource;

class CINI {
  public:
    // Sets the defaults, works out iniPath and loads the file found there.
    CINI();
    ~CINI();

    // Fills iniPath; false, leaving it empty, when the module path cannot be
    // had whole or the INI path would not fit in it.
    bool MakeIniPath();
    // Sets the built-in defaults, then reads the ten keys from iniPath when
    // that file can be opened for reading.
    void LoadSettings();
    // Writes the ten keys in order; nothing when iniPath is empty.
    void SaveSettings();

    char iniPath[MAX_PATH + 1];
    char DECOMPESS[10];
    bool DECOMP_ALL;
    bool DECOMP_DIR;
    bool DECOMP_OPEN;
    char COMPESS[10];
    char COMP_FORMAT[4];
    char COMP_LEVEL[7];
    bool COMP_ENCRYPT;
    char COMP_ENC_METHOD[10];
    bool COMP_OPEN;
};

// The one settings record, built before the archiver binding.
extern CINI g_ini;
