#include "settings/ini.h"
#include "paths/pathparts.h"
#include <string.h>
#include <strsafe.h>

namespace {

BOOL WINAPI SystemUserName(LPSTR buffer, LPDWORD bufferSize) {
    return GetUserNameA(buffer, bufferSize);
}

DWORD WINAPI SystemModulePath(HMODULE module, LPSTR buffer, DWORD bufferSize) {
    return GetModuleFileNameA(module, buffer, bufferSize);
}

const size_t kDriveSize = 4;
const size_t kDirSize = 257;
// One byte more than the longest user name the file name takes.
const DWORD kUserNameSize = 21;

// Splits path into its drive ("C:" or empty) and its directory (up to and
// including the last separator), reading code page 932 characters whole so
// that a trail byte 0x5C never ends the directory. False when the directory
// does not fit its buffer: a shortened one would name another folder.
bool SplitModulePath(const char* path, char* drive, char* dir) {
    const char* rest = AfterDrive(path);
    StringCchCopyNA(drive, kDriveSize, path, (size_t)(rest - path));
    const char* separator = LastSeparator(rest);
    const char* dirEnd = separator != NULL ? separator + 1 : rest;
    return SUCCEEDED(StringCchCopyNA(dir, kDirSize, rest, (size_t)(dirEnd - rest)));
}

// The current user's name, or false when there is none that fits.
bool GetUserNameInto(char* user) {
    DWORD size = kUserNameSize;
    if (!g_userNameSource(user, &size)) {
        return false;
    }
    return user[0] != '\0' && memchr(user, '\0', kUserNameSize) != NULL;
}

} // namespace

// Function addresses of this file, so the sources are set before any static
// constructor can ask for them.
UserNameSource g_userNameSource = SystemUserName;
ModulePathSource g_modulePathSource = SystemModulePath;

bool CINI::MakeIniPath() {
    memset(iniPath, 0, sizeof iniPath);

    char module[MAX_PATH + 1];
    memset(module, 0, sizeof module);
    DWORD length = g_modulePathSource(NULL, module, sizeof module);
    // A result of the full buffer size means the path was cut.
    if (length == 0 || length >= sizeof module) {
        return false;
    }

    char drive[kDriveSize];
    char dir[kDirSize];
    memset(drive, 0, sizeof drive);
    memset(dir, 0, sizeof dir);
    if (!SplitModulePath(module, drive, dir)) {
        return false;
    }

    char user[kUserNameSize];
    memset(user, 0, sizeof user);
    HRESULT formatted;
    if (GetUserNameInto(user)) {
        formatted = StringCchPrintfA(iniPath, sizeof iniPath, "%s%s%s_%s.ini", drive, dir,
                                     INI_SECTION, user);
    } else {
        formatted =
            StringCchPrintfA(iniPath, sizeof iniPath, "%s%s%s.ini", drive, dir, INI_SECTION);
    }
    // A cut path would name another file: then there is no settings file.
    if (FAILED(formatted)) {
        memset(iniPath, 0, sizeof iniPath);
        return false;
    }
    return true;
}
