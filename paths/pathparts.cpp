#include "paths/pathparts.h"
#include <string.h>

const char* AfterDrive(const char* path) {
    bool drive = path[0] != '\0' && !IsDBCSLeadByte((BYTE)path[0]) && path[1] == ':';
    return drive ? path + 2 : path;
}

// The last character of text that is one of the ASCII characters in set.
static const char* LastOf(const char* text, const char* set) {
    const char* found = NULL;
    for (const char* p = text; *p != '\0'; p = CharNextA(p)) {
        if (strchr(set, *p) != NULL) {
            found = p;
        }
    }
    return found;
}

const char* LastSeparator(const char* text) {
    return LastOf(text, "\\/");
}

const char* LastFullStop(const char* text) {
    return LastOf(text, ".");
}

const char* LastBackslash(const char* text) {
    return LastOf(text, "\\");
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

bool FileOpensForReading(const char* path, DWORD shareMode) {
    HANDLE file = CreateFileA(path, GENERIC_READ, shareMode, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}
