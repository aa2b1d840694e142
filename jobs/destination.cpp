#include "jobs/destination.h"
#include "jobs/inputs.h"
#include "jobs/messages.h"
#include "jobs/paths.h"
#include "paths/pathparts.h"
#include "settings/options.h"
#include <shellapi.h>
#include <string.h>
#include <strsafe.h>

ShellOpenFn g_shellOpen = ShellExecuteA;
FolderLocationFn g_folderLocation = SHGetSpecialFolderLocation;
BrowseForFolderFn g_browseForFolder = SHBrowseForFolderA;

static char g_desktopFolder[MAX_PATH + 1];
static char g_browsedFolder[MAX_PATH + 1];

const char* GetDesktopFolder() {
    ZeroMemory(g_desktopFolder, sizeof g_desktopFolder);
    LPITEMIDLIST items = NULL;
    if (g_folderLocation(NULL, CSIDL_DESKTOPDIRECTORY, &items) == S_OK) {
        if (!SHGetPathFromIDListA(items, g_desktopFolder)) {
            ZeroMemory(g_desktopFolder, sizeof g_desktopFolder);
        }
        CoTaskMemFree(items);
    }
    return g_desktopFolder;
}

const char* BrowseForDestination(HWND owner) {
    ZeroMemory(g_browsedFolder, sizeof g_browsedFolder);
    BROWSEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.hwndOwner = owner;
    info.lpszTitle = "フォルダを選択してください";
    LPITEMIDLIST items = g_browseForFolder(&info);
    if (items == NULL) {
        ShowJobMessage(owner, MSG_CANCELLED);
        return g_browsedFolder;
    }
    if (!SHGetPathFromIDListA(items, g_browsedFolder)) {
        ZeroMemory(g_browsedFolder, sizeof g_browsedFolder);
    }
    CoTaskMemFree(items);
    if (g_browsedFolder[0] == '\0') {
        ShowJobMessage(owner, MSG_NO_FOLDER);
        return g_browsedFolder;
    }
    TrimTrailingBackslash(g_browsedFolder);
    return g_browsedFolder;
}

// The folder a bare name (or a drive-relative one, "C:a.zip") stands in: the
// current folder of its drive. NULL when it does not fit.
static const char* CurrentFolderOf(const char* path, char* out, DWORD outSize) {
    ZeroMemory(out, outSize);
    char* namePart = NULL;
    DWORD length = GetFullPathNameA(path, outSize, out, &namePart);
    if (length == 0 || length >= outSize || namePart == NULL) {
        return NULL;
    }
    *namePart = '\0';
    TrimTrailingBackslash(out);
    return out;
}

bool ResolveDestination(int kind, const PathEntry* first, HWND owner, char* dest) {
    ZeroMemory(dest, MAX_PATH + 1);
    char current[MAX_PATH + 1];
    const char* folder;
    if (kind == DEST_SAMEPLACE) {
        folder = LastSeparator(first->path) != NULL
                     ? GetParentFolder(first->path)
                     : CurrentFolderOf(first->path, current, sizeof current);
        if (folder == NULL) {
            ShowJobMessage(owner, MSG_PATH_TOO_LONG);
            return false;
        }
    } else if (kind == DEST_DECIDE) {
        folder = BrowseForDestination(owner);
        if (folder[0] == '\0') {
            return false;
        }
    } else {
        folder = GetDesktopFolder();
        if (folder[0] == '\0') {
            ShowJobMessage(owner, MSG_NO_DESKTOP);
            return false;
        }
    }
    StringCchPrintfA(dest, MAX_PATH + 1, "%s", folder);
    return true;
}

void OpenFolderIfNotDesktop(const char* folder, HWND owner) {
    if (strcmp(folder, GetDesktopFolder()) == 0) {
        return;
    }
    // One byte more than a path, so a 260-byte folder keeps its backslash.
    char withBackslash[MAX_PATH + 2];
    ZeroMemory(withBackslash, sizeof withBackslash);
    StringCchPrintfA(withBackslash, sizeof withBackslash, "%s\\", folder);
    g_shellOpen(owner, "open", withBackslash, NULL, NULL, SW_SHOWNORMAL);
}
