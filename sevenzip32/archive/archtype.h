// Tells archives from other files: ZIP and 7z by their signatures and
// headers, others by the engine's format list and, for real candidates only,
// by the engine itself. Never decrypts or extracts anything.
#pragma once
#include <windows.h>

#include "sevenzip32/api.h"
#include "sevenzip32/base/args.h"

// The archive type of a file: 1 ZIP, 2 7z, 0 another format the engine opens,
// -1 anything else. Never asks for a password.
int SzArchiveType(LPCSTR path);

// What an archive's own headers say before it is extracted or tested, read
// in-process where that is exact: a ZIP's central directory gives whether
// any entry is encrypted and what all of them hold; a 7z's header gives
// whether its names are encrypted (its sizes and the encryption of its data
// lie in compressed headers only the engine reads).
struct SzArchiveFacts {
    bool zip;        // a ZIP: encrypted and bytes cover every entry
    bool encrypted;  // an entry (ZIP) or the names (7z) need the password
    ULONGLONG bytes; // ZIP: the entries' sizes, unpacked
    SzArgs climbing; // ZIP: stored names that lead out (SzNameClimbs); the caller frees
};

// False when the file is no ZIP or 7z whose headers read as expected: the
// engine's listing has to tell.
bool SzReadArchiveFacts(LPCSTR path, SzArchiveFacts* facts);
