#include "jobs/paths.h"
#include <windows.h>
#include <string.h>
#include <strsafe.h>

// Where the parts of a path begin: the directory after the drive, the file
// name after the last separator, the extension at the file name's last dot.
struct PathSplit {
    const char* dirStart;
    const char* nameStart;
    const char* extStart;
    const char* end;
};

static PathSplit SplitPath(const char* path) {
    PathSplit split;
    split.dirStart = path;
    if (path[0] != '\0' && !IsDBCSLeadByte((BYTE)path[0]) && path[1] == ':') {
        split.dirStart = path + 2;
    }
    split.nameStart = split.dirStart;
    const char* lastDot = NULL;
    for (const char* p = split.dirStart; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/') {
            split.nameStart = p + 1;
            lastDot = NULL;
        } else if (*p == '.') {
            lastDot = p;
        }
    }
    split.end = path + strlen(path);
    split.extStart = lastDot ? lastDot : split.end;
    return split;
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
    PathSplit split = SplitPath(path);
    if (split.nameStart - split.dirStart >= NAME_PART_SIZE) {
        return NULL;
    }
    if (!CopyPart(g_baseName, sizeof g_baseName, split.nameStart, split.extStart)) {
        return NULL;
    }
    return g_baseName;
}

static char* LastBackslash(char* text) {
    char* found = NULL;
    for (char* p = text; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\') {
            found = p;
        }
    }
    return found;
}

static char g_sameFolder[MAX_PATH + 1];

const char* GetSameFolder(const char* path) {
    ZeroMemory(g_sameFolder, sizeof g_sameFolder);
    PathSplit split = SplitPath(path);
    char drive[4];
    char dir[NAME_PART_SIZE];
    if (!CopyPart(drive, sizeof drive, path, split.dirStart) ||
        !CopyPart(dir, sizeof dir, split.dirStart, split.nameStart)) {
        return NULL;
    }
    char* cut = LastBackslash(dir);
    if (cut != NULL) {
        *cut = '\0';
    }
    StringCchPrintfA(g_sameFolder, sizeof g_sameFolder, "%s%s", drive, dir);
    return g_sameFolder;
}

void TrimTrailingBackslash(char* path) {
    char* last = NULL;
    for (char* p = path; *p != '\0'; p = CharNextA(p)) {
        last = p;
    }
    if (last != NULL && *last == '\\') {
        *last = '\0';
    }
}
