// The engine's complaints as the user's language says them.
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
