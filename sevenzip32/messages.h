// The engine's complaints as the user's language says them.
#pragma once
#include <windows.h>

// One sentence (code page 932) for the failure the engine's text (UTF-8)
// describes, naming the file concerned: the one the engine names, else the
// archive (code page 932, as the caller gave it). False when the text
// matches no known failure; sentence is then empty.
bool SzDescribeFailure(LPCSTR engineText, LPCSTR archive, LPSTR sentence, int sentenceBytes);
