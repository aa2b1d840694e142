// The one destination folder of a job, and opening a result folder.
#pragma once
#include <windows.h>
#include <shlobj.h>

struct PathEntry;

// Seams for tests; they hold the shell's own functions by default.
typedef HINSTANCE(WINAPI* ShellOpenFn)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                       LPCSTR directory, INT showCommand);
typedef HRESULT(WINAPI* FolderLocationFn)(HWND owner, int folder, LPITEMIDLIST* items);
typedef LPITEMIDLIST(WINAPI* BrowseForFolderFn)(LPBROWSEINFOA info);
// Opens a folder in the shell (ShellExecuteA).
extern ShellOpenFn g_shellOpen;
// Looks up a special folder's item list (SHGetSpecialFolderLocation).
extern FolderLocationFn g_folderLocation;
// Shows the shell's folder browser (SHBrowseForFolderA).
extern BrowseForFolderFn g_browseForFolder;

// Fills dest (MAX_PATH + 1 bytes) for kind (a Destination; any other value
// counts as DEST_DESKTOP) and the first input; false, after a message to the
// user, when the job must end.
bool ResolveDestination(int kind, const PathEntry* first, HWND owner, char* dest);

// The user's desktop folder in a shared buffer, or "" when the shell cannot give it.
const char* GetDesktopFolder();

// The folder chosen in the shell's folder browser, without a trailing
// backslash, in a shared buffer; "" after telling the user why there is none.
const char* BrowseForDestination(HWND owner);

// Opens folder (with a backslash appended) in the shell unless it is the
// desktop folder, compared case-sensitively.
void OpenFolderIfNotDesktop(const char* folder, HWND owner);
