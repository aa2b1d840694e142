// The library's command syntax: splitting, parsing, and the engine's arguments.
#pragma once
#include <windows.h>

#include "sevenzip32/base/args.h"
#include "sevenzip32/engine/pathmap.h"
#include "sevenzip32/place/staging.h"

#define SZ_PASSWORD_CHARS 256

enum SzPasswordMode { SZ_PASSWORD_NONE, SZ_PASSWORD_ASK, SZ_PASSWORD_GIVEN };

// Tells the engine that a ZIP's names without the UTF-8 flag are code page 932.
#define SZ_LEGACY_NAMES_SWITCH "-mcp=932"

struct SzCommand {
    char command;                         // 'a', 'x', 'e', 't' or 'l'
    char archive[SZ_PATH_BYTES];          // code page 932, as given
    char outDir[SZ_PATH_BYTES];           // -o value, empty when absent
    SzPasswordMode password;              // -p with or without a value
    char passwordText[SZ_PASSWORD_CHARS]; // -p value (code page 932)
    SzOverwriteMode overwrite;            // -y or -ao…
    bool hide;                            // -hide: no progress window
    bool legacyNames;                     // a ZIP with code page 932 names: tell the engine
    SzArgs switches;                      // switches for the engine, as given
    SzArgs names;                         // names after the archive (code page 932)
};

// Maps a Windows name (code page 932) to the engine's UTF-8 spelling; absolute
// asks for a full host path, otherwise a relative name stays relative.
typedef bool (*SzNameMapper)(const SzEngineInfo* engine, LPCSTR windowsName, bool absolute,
                             LPSTR hostName, int hostBytes);

// Splits a command line as the library does: blanks separate, double quotes
// group and are removed, backslashes are ordinary characters.
bool SzSplitCommandLine(LPCSTR cmdLine, SzArgs* tokens);

// The command line for a message (code page 932): its tokens as the parser
// splits them, each one the parser would take as a password shown as "-p***".
void SzMaskCommand(LPCSTR cmdLine, LPSTR masked, int maskedBytes);

// Parses a command line; SEVENZIP_OK or SEVENZIP_ERROR_COMMAND (cmd is freed on failure).
int SzParseCommand(LPCSTR cmdLine, SzCommand* cmd);

// Releases a parsed command.
void SzFreeCommand(SzCommand* cmd);

// The engine's arguments for a parsed command, the archive and the output
// folder given as Windows names (a temporary archive, a staging folder; NULL:
// none); the names to add or pick go to names, for the engine's list file.
// SEVENZIP_OK, SEVENZIP_ERROR_COMMAND (a name cannot be mapped) or SEVENZIP_ERROR_MEMORY.
int SzBuildEngineArgs(const SzCommand* cmd, const SzEngineInfo* engine, LPCSTR archive,
                      LPCSTR outDir, SzNameMapper map, SzArgs* engineArgs, SzArgs* names);
