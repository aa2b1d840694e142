// Staged extraction: the engine writes into a private folder inside the
// destination, or beside it when it does not exist yet (same volume, so
// placing is renaming), and entries are moved into place only after it
// succeeded.
#pragma once
#include <windows.h>

#include "sevenzip32/engine/console.h"

#define SZ_STAGE_CHARS (MAX_PATH * 2)
// Paths below a staging folder or a destination may be as long as Windows allows.
#define SZ_LONG_CHARS 32768

// How an entry meets an existing file of its name.
enum SzOverwriteMode {
    SZ_OVERWRITE_ASK,
    SZ_OVERWRITE_ALL,
    SZ_OVERWRITE_SKIP,
    SZ_OVERWRITE_RENAME_NEW,
    SZ_OVERWRITE_RENAME_OLD
};

struct SzStage {
    WCHAR dir[SZ_STAGE_CHARS];  // the staging folder, this job's own (a full path)
    WCHAR dest[SZ_STAGE_CHARS]; // the folder the entries belong in (a full path)
    bool whole;                 // dest did not exist: dir becomes dest
    bool made;                  // dir was created by this job and is still there
    bool host;                  // removed by the host (Wine: names Windows cannot see)
};

// Why an entry was not delivered; each has its words in the message.
enum SzRefusal {
    SZ_REFUSED_IN_USE,    // open in another program
    SZ_REFUSED_READ_ONLY, // read-only or not writable
    SZ_REFUSED_CLASH,     // a folder where a file would go, or the reverse
    SZ_REFUSED_ARCHIVE,   // the archive being extracted
    SZ_REFUSED_NAME,      // a name Windows cannot hold
    SZ_REFUSED_OUTSIDE,   // a link leading out of the destination
    SZ_REFUSED_LINK,      // a link in the way, or one whose target cannot be spelled
    SZ_REFUSED_NO_LINK,   // a link this system would not let the engine make
    SZ_REFUSED_EXISTS,    // a link meeting an existing entry
    SZ_REFUSED_SPECIAL,   // a device, pipe or socket
    SZ_REFUSED_FAILED,    // the system refused to create or move it
    SZ_REFUSED_CLIMBED    // not refused: a name leading out, placed inside
};

// Adds "path (reason)" to list (UTF-8, one a line); path is a Windows path.
void SzRefuse(SzConsole* list, LPCWSTR path, SzRefusal why);

// The refusal a host walk names with word ("name", "outside", …); false for
// another word.
bool SzRefusalOfWord(LPCSTR word, SzRefusal* why);

// Creates a staging folder with an unguessable name in dest, or beside it
// when dest does not exist; host says the host removes it. False on failure.
bool SzStageOpen(SzStage* stage, LPCWSTR dest, bool host);

// Moves the staged entries into dest: a new name moves, an existing file is
// decided by mode (asking owner per file for SZ_OVERWRITE_ASK). A file that is
// open or read-only, a folder clash, a link in the way, a name Windows cannot
// hold and the archive itself (archive: a path, or NULL) are never replaced
// and each is added to refused with its reason. SEVENZIP_OK, SEVENZIP_ERROR_WARNING when
// something was refused, SEVENZIP_ERROR_CANCELLED when the question was.
int SzStageCommit(SzStage* stage, SzOverwriteMode mode, HWND owner, LPCWSTR archive,
                  SzConsole* refused);

// Removes the staging folder and what is left in it.
void SzStageClose(SzStage* stage);

// Removes a folder tree this job created (read-only files included), never
// following a link inside it.
void SzRemoveTree(LPCWSTR dir);
