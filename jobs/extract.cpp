#include "jobs/extract.h"
#include "archiver/sevenzip.h"
#include "jobs/commands.h"
#include "jobs/destination.h"
#include "jobs/inputs.h"
#include "jobs/messages.h"
#include "jobs/options.h"
#include "jobs/paths.h"
#include <shlwapi.h>
#include <strsafe.h>

// The folder for archivePath's contents inside dest; false, after the abort
// message, when it cannot be had.
static bool MakeArchiveFolder(const char* dest, const char* archivePath, char* target,
                              size_t targetSize, HWND owner) {
    ZeroMemory(target, targetSize);
    const char* baseName = PathIsDirectoryA(dest) ? GetBaseName(archivePath) : NULL;
    if (baseName == NULL ||
        FAILED(StringCchPrintfA(target, MAX_PATH + 1, "%s\\%s", dest, baseName))) {
        ShowJobMessage(owner, MSG_CANNOT_CREATE_FOLDER);
        return false;
    }
    // Any other failure (a folder already there, access denied, a missing
    // parent) is left for the library to meet.
    if (!CreateDirectoryA(target, NULL) && GetLastError() == ERROR_ALREADY_EXISTS &&
        !PathIsDirectoryA(target)) {
        ShowJobMessage(owner, MSG_CANNOT_CREATE_FOLDER);
        return false;
    }
    return true;
}

void RunExtraction(const InputList* inputs, const char* dest, const JobOptions* options,
                   HWND owner) {
    for (int i = 0; i < inputs->count; ++i) {
        const char* archivePath = inputs->entries[i].path;
        char target[MAX_PATH + 4];
        if (JobFlagOn(options, OPT_DECOMP_DIR)) {
            if (!MakeArchiveFolder(dest, archivePath, target, sizeof target, owner)) {
                return;
            }
        } else {
            ZeroMemory(target, sizeof target);
            StringCchPrintfA(target, sizeof target, "%s", dest);
        }
        char command[EXTRACT_COMMAND_SIZE];
        CommandStatus status = BuildExtractionCommand(command, sizeof command, archivePath, target);
        if (status != COMMAND_OK) {
            ShowJobMessage(owner, status == COMMAND_BAD_CHAR ? MSG_BAD_CHAR : MSG_PATH_TOO_LONG);
            return;
        }
        int result = g_7zip.SevenZip(owner, command, NULL, 0);
        if (result == 0 && JobFlagOn(options, OPT_DECOMP_OPEN)) {
            OpenFolderIfNotDesktop(target, owner);
        }
    }
}
