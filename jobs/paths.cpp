#include "jobs/paths.h"
#include "paths/pathparts.h"
#include <string.h>
#include <strsafe.h>

// Where the file name of a path begins, given where its directory begins.
static const char* NameStart(const char* dirStart) {
    const char* separator = LastSeparator(dirStart);
    return separator != NULL ? separator + 1 : dirStart;
}

// Copies [from, to) into out; false when it does not fit.
static bool CopyPart(char* out, size_t outSize, const char* from, const char* to) {
    size_t length = (size_t)(to - from);
    if (length >= outSize) {
        return false;
    }
    ZeroMemory(out, outSize);
    memcpy(out, from, length);
    return true;
}

static char g_baseName[NAME_PART_SIZE];

const char* GetBaseName(const char* path) {
    ZeroMemory(g_baseName, sizeof g_baseName);
    const char* dirStart = AfterDrive(path);
    const char* name = NameStart(dirStart);
    if (name - dirStart >= NAME_PART_SIZE) {
        return NULL;
    }
    const char* dot = LastFullStop(name);
    if (!CopyPart(g_baseName, sizeof g_baseName, name, dot != NULL ? dot : name + strlen(name))) {
        return NULL;
    }
    return g_baseName;
}

static char g_parentFolder[MAX_PATH + 1];

const char* GetParentFolder(const char* path) {
    ZeroMemory(g_parentFolder, sizeof g_parentFolder);
    const char* dirStart = AfterDrive(path);
    char drive[4];
    char dir[NAME_PART_SIZE];
    if (!CopyPart(drive, sizeof drive, path, dirStart) ||
        !CopyPart(dir, sizeof dir, dirStart, NameStart(dirStart))) {
        return NULL;
    }
    char* cut = const_cast<char*>(LastBackslash(dir));
    if (cut != NULL) {
        *cut = '\0';
    }
    StringCchPrintfA(g_parentFolder, sizeof g_parentFolder, "%s%s", drive, dir);
    return g_parentFolder;
}
