#include "jobs/compress.h"
#include "archiver/sevenzip.h"
#include "jobs/commands.h"
#include "jobs/destination.h"
#include "jobs/inputs.h"
#include "jobs/messages.h"
#include "jobs/options.h"
#include "jobs/paths.h"
#include "paths/pathparts.h"
#include <strsafe.h>

// Moves the archive at archivePath to a new unique name in dest, so that an
// add command makes a fresh archive and the old one can come back.
static bool MoveAside(const char* archivePath, const char* dest, char* aside) {
    char folder[MAX_PATH + 2];
    ZeroMemory(folder, sizeof folder);
    ZeroMemory(aside, MAX_PATH + 1);
    StringCchPrintfA(folder, sizeof folder, "%s\\", dest);
    if (GetTempFileNameA(folder, "tso", 0, aside) == 0) {
        ZeroMemory(aside, MAX_PATH + 1);
        return false;
    }
    if (!MoveFileExA(archivePath, aside, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(aside);
        ZeroMemory(aside, MAX_PATH + 1);
        return false;
    }
    return true;
}

// Runs command with the old archive set aside: it goes once the new one is
// made, and comes back over whatever a failed run left.
static int RunReplacing(const char* command, const char* archivePath, const char* aside,
                        HWND owner) {
    int result = g_7zip.SevenZip(owner, command, NULL, 0);
    if (result == 0) {
        DeleteFileA(aside);
    } else {
        MoveFileExA(aside, archivePath, MOVEFILE_REPLACE_EXISTING);
    }
    return result;
}

// The volume and file index of the file at path, the same for every
// spelling of it: case, short names, links, "..", another drive letter. A
// folder has none here: an archive path that is a folder is the engine's
// failure to report, not an input to be named.
static bool GetFileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION* info) {
    ZeroMemory(info, sizeof *info);
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BOOL known = GetFileInformationByHandle(file, info);
    CloseHandle(file);
    return known != FALSE;
}

// The input that is the very file at archivePath, or NULL. Adding to it
// would pack an archive into itself, and setting it aside first would take
// the input away from the engine.
static const char* InputAtArchivePath(const InputList* inputs, const char* archivePath) {
    BY_HANDLE_FILE_INFORMATION archive, input;
    if (!GetFileIdentity(archivePath, &archive)) {
        return NULL;
    }
    for (int i = 0; i < inputs->count; ++i) {
        const char* path = inputs->entries[i].path;
        if (GetFileIdentity(path, &input) &&
            input.dwVolumeSerialNumber == archive.dwVolumeSerialNumber &&
            input.nFileIndexHigh == archive.nFileIndexHigh &&
            input.nFileIndexLow == archive.nFileIndexLow) {
            return path;
        }
    }
    return NULL;
}

static void ShowStatus(HWND owner, CommandStatus status) {
    if (status == COMMAND_TOO_LONG) {
        ShowJobMessage(owner, MSG_PATH_TOO_LONG);
    } else if (status == COMMAND_BAD_CHAR) {
        ShowJobMessage(owner, MSG_BAD_CHAR);
    }
    // A format or method outside its set cannot come from the window or the
    // settings record; the run just ends.
}

void RunCompression(const InputList* inputs, const char* dest, const JobOptions* options,
                    HWND owner) {
    const OptionValue* format = JobValue(options, OPT_COMP_FORMAT);
    const char* baseName = GetBaseName(inputs->entries[0].path);
    char archivePath[MAX_PATH + 1];
    CommandStatus status = baseName == NULL ? COMMAND_TOO_LONG
                                            : FormatArchivePath(archivePath, sizeof archivePath,
                                                                dest, baseName, format);
    if (status != COMMAND_OK) {
        ShowStatus(owner, status);
        return;
    }
    // A lone input is compressed only when the library took it for no ZIP or
    // 7z archive; among several it may be a sound one.
    const char* input = InputAtArchivePath(inputs, archivePath);
    if (input != NULL) {
        ShowJobMessageNaming(owner, inputs->count == 1 ? MSG_NOT_AN_ARCHIVE : MSG_ARCHIVE_IS_INPUT,
                             input);
        return;
    }
    const OptionValue* level = JobValue(options, OPT_COMP_LEVEL);
    bool encrypt = JobFlagOn(options, OPT_COMP_ENCRYPT);
    const OptionValue* method = encrypt ? JobValue(options, OPT_COMP_ENC_METHOD) : NULL;
    const char* commandTemplate = CompressionTemplate(format, encrypt, method);
    if (commandTemplate == NULL) {
        return;
    }

    size_t commandSize = CompressionCommandSize(inputs->count);
    char* command = commandSize ? (char*)HeapAlloc(GetProcessHeap(), 0, commandSize) : NULL;
    if (command == NULL) {
        return;
    }
    status = BuildCompressionCommand(command, commandSize, commandTemplate,
                                     level != NULL ? level->engine : "", archivePath,
                                     inputs->entries, inputs->count);
    int result = -1;
    if (status != COMMAND_OK) {
        ShowStatus(owner, status);
    } else if (!FileOpensForReading(archivePath, FILE_SHARE_READ)) {
        result = g_7zip.SevenZip(owner, command, NULL, 0);
    } else if (AskJobQuestion(owner, MSG_OVERWRITE)) {
        char aside[MAX_PATH + 1];
        if (MoveAside(archivePath, dest, aside)) {
            result = RunReplacing(command, archivePath, aside, owner);
        } else {
            ShowJobMessage(owner, MSG_CANNOT_OVERWRITE);
        }
    }
    HeapFree(GetProcessHeap(), 0, command);
    if (result == 0 && JobFlagOn(options, OPT_COMP_OPEN)) {
        OpenFolderIfNotDesktop(dest, owner);
    }
}
