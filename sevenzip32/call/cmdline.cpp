#include "sevenzip32/call/cmdline.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/engine/result.h"

bool SzSplitCommandLine(LPCSTR cmdLine, SzArgs* tokens) {
    size_t length = strlen(cmdLine);
    char* token = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, length + 1));
    if (token == NULL) {
        return false;
    }
    LPCSTR p = cmdLine;
    while (*p != '\0') {
        while (*p == ' ' || *p == '\t') {
            p++;
        }
        if (*p == '\0') {
            break;
        }
        size_t used = 0;
        bool quoted = false;
        while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '"') {
                quoted = !quoted;
                p++;
                continue;
            }
            LPCSTR next = CharNextA(p);
            while (p < next) {
                token[used++] = *p++;
            }
        }
        token[used] = '\0';
        if (!SzArgsAdd(tokens, token)) {
            HeapFree(GetProcessHeap(), 0, token);
            return false;
        }
    }
    SecureZeroMemory(token, length + 1);
    HeapFree(GetProcessHeap(), 0, token);
    return true;
}

void SzMaskCommand(LPCSTR cmdLine, LPSTR masked, int maskedBytes) {
    ZeroMemory(masked, maskedBytes);
    SzArgs tokens;
    SzArgsInit(&tokens);
    if (cmdLine != NULL && SzSplitCommandLine(cmdLine, &tokens)) {
        for (int i = 0; i < tokens.count; i++) {
            LPCSTR token = SzArgsAt(&tokens, i);
            bool secret = token[0] == '-' && (token[1] | 0x20) == 'p';
            bool blank = strchr(token, ' ') != NULL || strchr(token, '\t') != NULL;
            size_t used = strlen(masked);
            StringCchPrintfA(masked + used, maskedBytes - used,
                             secret  ? "%s%.2s***"
                             : blank ? "%s\"%s\""
                                     : "%s%s",
                             i > 0 ? " " : "", token);
        }
    }
    SzArgsFree(&tokens);
}

static bool IsAsciiWord(LPCSTR value, LPCSTR extra) {
    for (LPCSTR p = value; *p != '\0'; p++) {
        bool ok = (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') ||
                  (*p >= '0' && *p <= '9') || strchr(extra, *p) != NULL;
        if (!ok) {
            return false;
        }
    }
    return true;
}

static bool OnHide(SzCommand* cmd, LPCSTR, LPCSTR value) {
    cmd->hide = true;
    return *value == '\0';
}

static bool OnYes(SzCommand* cmd, LPCSTR, LPCSTR value) {
    cmd->overwrite = SZ_OVERWRITE_ALL;
    return *value == '\0';
}

static const struct {
    char letter;
    SzOverwriteMode mode;
} kOverwriteLetters[] = {
    {'a', SZ_OVERWRITE_ALL},
    {'s', SZ_OVERWRITE_SKIP},
    {'u', SZ_OVERWRITE_RENAME_NEW},
    {'t', SZ_OVERWRITE_RENAME_OLD},
};

static bool OnOverwrite(SzCommand* cmd, LPCSTR, LPCSTR value) {
    if (value[0] == '\0' || value[1] != '\0') {
        return false;
    }
    for (size_t i = 0; i < sizeof(kOverwriteLetters) / sizeof(kOverwriteLetters[0]); i++) {
        if ((value[0] | 0x20) == kOverwriteLetters[i].letter) {
            cmd->overwrite = kOverwriteLetters[i].mode;
            return true;
        }
    }
    return false;
}

// Method switches go to the engine as they are; it checks their values.
static bool OnMethod(SzCommand* cmd, LPCSTR token, LPCSTR value) {
    return *value != '\0' && IsAsciiWord(value, "=.:+-_") && SzArgsAdd(&cmd->switches, token);
}

static bool OnOutput(SzCommand* cmd, LPCSTR, LPCSTR value) {
    return *value != '\0' && SUCCEEDED(StringCchCopyA(cmd->outDir, sizeof(cmd->outDir), value));
}

static bool OnPassword(SzCommand* cmd, LPCSTR, LPCSTR value) {
    if (*value == '\0') {
        cmd->password = SZ_PASSWORD_ASK;
        return true;
    }
    cmd->password = SZ_PASSWORD_GIVEN;
    return SUCCEEDED(StringCchCopyA(cmd->passwordText, sizeof(cmd->passwordText), value));
}

static bool OnRecurse(SzCommand* cmd, LPCSTR token, LPCSTR value) {
    bool known = strcmp(value, "") == 0 || strcmp(value, "-") == 0 || strcmp(value, "0") == 0;
    return known && SzArgsAdd(&cmd->switches, token);
}

static bool OnType(SzCommand* cmd, LPCSTR token, LPCSTR value) {
    return *value != '\0' && IsAsciiWord(value, ".") && SzArgsAdd(&cmd->switches, token);
}

// The switches understood, longest names first so that -hide wins over -h….
static const struct {
    LPCSTR name;
    bool (*handle)(SzCommand* cmd, LPCSTR token, LPCSTR value);
} kSwitches[] = {
    {"-hide", OnHide},  {"-ao", OnOverwrite}, {"-m", OnMethod}, {"-o", OnOutput},
    {"-p", OnPassword}, {"-r", OnRecurse},    {"-t", OnType},   {"-y", OnYes},
};

static bool ParseSwitch(SzCommand* cmd, LPCSTR token) {
    for (size_t i = 0; i < sizeof(kSwitches) / sizeof(kSwitches[0]); i++) {
        size_t n = strlen(kSwitches[i].name);
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, token, static_cast<int>(n),
                           kSwitches[i].name, static_cast<int>(n)) == CSTR_EQUAL) {
            return kSwitches[i].handle(cmd, token, token + n);
        }
    }
    return false;
}

static const char kCommands[] = "axetl";

int SzParseCommand(LPCSTR cmdLine, SzCommand* cmd) {
    ZeroMemory(cmd, sizeof(*cmd));
    SzArgs tokens;
    SzArgsInit(&tokens);
    bool ok = cmdLine != NULL && SzSplitCommandLine(cmdLine, &tokens);
    bool switchesEnd = false;
    int positional = 0;
    for (int i = 0; ok && i < tokens.count; i++) {
        LPCSTR token = SzArgsAt(&tokens, i);
        if (!switchesEnd && strcmp(token, "--") == 0) {
            switchesEnd = true;
        } else if (!switchesEnd && token[0] == '-') {
            ok = ParseSwitch(cmd, token);
        } else if (positional == 0) {
            char letter = static_cast<char>(token[0] | 0x20);
            ok = token[0] != '\0' && token[1] == '\0' && strchr(kCommands, letter) != NULL;
            cmd->command = letter;
            positional++;
        } else if (positional == 1) {
            ok = token[0] != '\0' &&
                 SUCCEEDED(StringCchCopyA(cmd->archive, sizeof(cmd->archive), token));
            positional++;
        } else {
            ok = token[0] != '\0' && SzArgsAdd(&cmd->names, token);
        }
    }
    // Adding with no names would take the whole working folder.
    ok = ok && positional == 2 && !(cmd->command == 'a' && cmd->names.count == 0);
    ok = ok && !cmd->switches.failed;
    SzArgsFree(&tokens);
    if (!ok) {
        SzFreeCommand(cmd);
        return SEVENZIP_ERROR_COMMAND;
    }
    return SEVENZIP_OK;
}

void SzFreeCommand(SzCommand* cmd) {
    SzArgsFree(&cmd->switches);
    SzArgsFree(&cmd->names);
    SecureZeroMemory(cmd->passwordText, sizeof(cmd->passwordText));
    cmd->password = SZ_PASSWORD_NONE;
}

// Switches that make the engine's output readable by the library, and every
// name literal: no name is ever a wildcard pattern.
static const LPCSTR kFixedSwitches[] = {"-bsp1", "-sccUTF-8", "-scsUTF-8", "-spd"};

int SzBuildEngineArgs(const SzCommand* cmd, const SzEngineInfo* engine, LPCSTR archive,
                      LPCSTR outDir, SzNameMapper map, SzArgs* engineArgs, SzArgs* names) {
    char host[SZ_PATH_BYTES * 3];
    char letter[2] = {cmd->command, '\0'};
    SzArgsAdd(engineArgs, letter);
    for (size_t i = 0; i < sizeof(kFixedSwitches) / sizeof(kFixedSwitches[0]); i++) {
        SzArgsAdd(engineArgs, kFixedSwitches[i]);
    }
    for (int i = 0; i < cmd->switches.count; i++) {
        SzArgsAdd(engineArgs, SzArgsAt(&cmd->switches, i));
    }
    // Engines that honour it write such names decoded; the others write the
    // stored bytes, which the host walk escapes for decoding.
    if (cmd->legacyNames) {
        SzArgsAdd(engineArgs, SZ_LEGACY_NAMES_SWITCH);
    }
    if (outDir != NULL && (cmd->command == 'x' || cmd->command == 'e')) {
        ZeroMemory(host, sizeof(host));
        if (!map(engine, outDir, true, host, sizeof(host))) {
            return SEVENZIP_ERROR_COMMAND;
        }
        SzArgsAdd2(engineArgs, "-o", host);
        // The output folder is a fresh staging folder, so only entries of the
        // archive meet there: two that the engine names alike ("a/../b" and
        // "b", or e without paths) both arrive, the later one renamed.
        SzArgsAdd(engineArgs, "-aou");
    }
    // The password itself comes on standard input, never here.
    if (cmd->command == 'a' && cmd->password != SZ_PASSWORD_NONE) {
        SzArgsAdd(engineArgs, "-p");
    }
    // A full path never begins with a dash, so no "--" is needed, and the list
    // file named after it stays a list file.
    ZeroMemory(host, sizeof(host));
    if (!map(engine, archive, true, host, sizeof(host))) {
        return SEVENZIP_ERROR_COMMAND;
    }
    SzArgsAdd(engineArgs, host);
    for (int i = 0; i < cmd->names.count; i++) {
        ZeroMemory(host, sizeof(host));
        // Names to add are files; names after other commands match inside the archive.
        if (!map(engine, SzArgsAt(&cmd->names, i), false, host, sizeof(host))) {
            return SEVENZIP_ERROR_COMMAND;
        }
        SzArgsAdd(names, host);
    }
    return engineArgs->failed || names->failed ? SEVENZIP_ERROR_MEMORY : SEVENZIP_OK;
}
