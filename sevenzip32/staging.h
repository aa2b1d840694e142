// Staged extraction: the engine writes into a private folder inside the
// destination, or beside it when it does not exist yet (same volume, so
// placing is renaming), and entries are moved into place only after it
// succeeded.
#pragma once
#include <windows.h>

#include "sevenzip32/cmdline.h"
#include "sevenzip32/console.h"

#define SZ_STAGE_CHARS (MAX_PATH * 2)

struct SzStage {
    WCHAR dir[SZ_STAGE_CHARS];  // the staging folder, this job's own
    WCHAR dest[SZ_STAGE_CHARS]; // the folder the entries belong in
    bool whole;                 // dest did not exist: dir becomes dest
    bool made;                  // dir was created by this job and is still there
};

// Creates a staging folder in dest, or beside it when dest does not exist;
// false on failure.
bool SzStageOpen(SzStage* stage, LPCWSTR dest);

// Moves the staged entries into dest: a new name moves, an existing file is
// decided by mode (asking owner per file for SZ_OVERWRITE_ASK). A file that is
// open, read-only, a folder, or the archive itself (archive) is never
// replaced: its name (UTF-8) is added to refused. SZ_OK, SZ_ERROR_WARNING
// when something was refused, SZ_ERROR_CANCELLED when the question was.
int SzStageCommit(SzStage* stage, SzOverwriteMode mode, HWND owner, LPCWSTR archive,
                  SzConsole* refused);

// Removes the staging folder and what is left in it.
void SzStageClose(SzStage* stage);

// Removes a folder tree this job created (read-only files included).
void SzRemoveTree(LPCWSTR dir);
