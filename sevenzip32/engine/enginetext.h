// Every text the library reads in the engine's output, in one place: its
// complaints as the user's language says them, what a listing says of the
// archive, and its progress. An engine version that words something
// differently is mended here.
#pragma once
#include <windows.h>

#include "sevenzip32/base/args.h"

// One sentence (code page 932) for the failure the engine's text (UTF-8)
// describes, naming the file concerned: the one the engine names, else the
// archive (code page 932, as the caller gave it). False when the text
// matches no known failure; sentence is then empty.
bool SzDescribeFailure(LPCSTR engineText, LPCSTR archive, LPSTR sentence, int sentenceBytes);

// True when every error the engine reported (its error stream, UTF-8) is a
// link it would not make because it leads out of the folder (its entry is
// added to outside) or could not make (added to failed): the rest of the
// archive is then whole. Entries are named as the engine names them.
bool SzLinkRefusals(LPCSTR errors, SzArgs* outside, SzArgs* failed);

// True when the engine's text says a password was wrong or missing.
bool SzTextMeansWrongPassword(LPCSTR text);

// True when a listing that failed (its output and error stream) failed for
// want of a password: the names themselves are encrypted.
bool SzListingNeedsPassword(LPCSTR output, LPCSTR errors);

// True when a technical listing (l -slt) shows an encrypted entry.
bool SzListingEncrypted(LPCSTR listing);

// The stored names of a technical listing that lead out of the folder they
// are extracted into (rooted, on a drive, or with a ".." part), added to names.
// The engine places them inside under the rest of their name.
void SzListingClimbingNames(LPCSTR listing, SzArgs* names);

// What a technical listing's entries hold, in bytes (the sum of their sizes).
ULONGLONG SzListedBytes(LPCSTR listing);

// What a compression will read ("Add new data to archive: … N bytes"), or 0.
ULONGLONG SzAddedBytes(LPCSTR text);

// Reads "  45% 12 + dir/name" style progress: percent and the file named (UTF-8).
// False when the line holds no percentage.
bool SzParseProgress(LPCSTR line, int* percent, LPSTR file, int fileBytes);
