#include "sevenzip32/call/operation.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/archive/legacy.h"
#include "sevenzip32/base/codepage.h"
#include "sevenzip32/base/trace.h"
#include "sevenzip32/call/call.h"
#include "sevenzip32/engine/locate.h"

// A name given to the library that does not exist, or NULL: every name means
// exactly one file, so a missing one is an error, never a pattern.
static LPCSTR MissingName(const SzCommand* cmd) {
    DWORD attributes = GetFileAttributesA(cmd->archive);
    if (cmd->command != 'a' &&
        (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))) {
        return cmd->archive;
    }
    for (int i = 0; cmd->command == 'a' && i < cmd->names.count; i++) {
        LPCSTR name = SzArgsAt(&cmd->names, i);
        if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) {
            return name;
        }
    }
    return NULL;
}

static int Execute(SzCall* call, LPCSTR cmdLine) {
    if (!SzFindEngine(&call->engine)) {
        SzShowMessage(call->owner, SZ_TEXT_MISSING_ENGINE, NULL, MB_OK | MB_ICONERROR);
        return SEVENZIP_ERROR_FATAL;
    }
    SzTrace("engine found", call->engine.path);
    if (SzParseCommand(cmdLine, &call->cmd) != SEVENZIP_OK) {
        char masked[SZ_PATH_BYTES];
        char detail[SZ_PATH_BYTES * 3];
        SzMaskCommand(cmdLine, masked, sizeof(masked));
        SzAnsiToUtf8(masked, detail, sizeof(detail));
        SecureZeroMemory(masked, sizeof(masked));
        SzReportFailure(call, SZ_TEXT_BAD_COMMAND, detail);
        return SEVENZIP_ERROR_COMMAND;
    }
    LPCSTR missing = MissingName(&call->cmd);
    if (missing != NULL) {
        // The same sentence the engine's own "not found" would give.
        char sentence[SZ_PATH_BYTES + 64];
        ZeroMemory(sentence, sizeof(sentence));
        StringCchPrintfA(sentence, sizeof(sentence), SZ_TEXT_NOT_FOUND, missing);
        SzReportFailure(call, sentence, NULL);
        return call->cmd.command == 'a' ? SEVENZIP_ERROR_WARNING : SEVENZIP_ERROR_FATAL;
    }
    if (call->cmd.password == SZ_PASSWORD_GIVEN) {
        MultiByteToWideChar(CP_ACP, 0, call->cmd.passwordText, -1, call->password,
                            SZ_PASSWORD_CHARS - 1);
        SecureZeroMemory(call->cmd.passwordText, sizeof(call->cmd.passwordText));
        call->havePassword = true;
    } else if (call->cmd.password == SZ_PASSWORD_ASK) {
        // A new archive's password is typed twice: a slip would lock it for good.
        SzAsk answer = SzAskCallPassword(call, call->cmd.command == 'a');
        if (answer != SZ_ASK_OK) {
            return SzAskResult(answer);
        }
    }
    char command = call->cmd.command;
    call->cmd.legacyNames = command != 'a' && SzHasLegacyNames(call->cmd.archive);
    if (command == 'x' || command == 'e' || command == 't') {
        int prepared = SzPrepare(call);
        if (prepared != SEVENZIP_OK) {
            return prepared;
        }
    }
    if (command == 'x' || command == 'e') {
        return SzExtract(call);
    }
    if (command == 'a') {
        return SzCompress(call);
    }
    int result = SzRunCommand(call, call->cmd.archive, NULL, NULL, NULL);
    if (result == SZ_NEEDS_PASSWORD) {
        result = SzAskArchivePassword(call);
        result = result == SEVENZIP_OK ? SzRunCommand(call, call->cmd.archive, NULL, NULL, NULL)
                                       : result;
    }
    return result;
}

int SzExecute(HWND owner, LPCSTR cmdLine, LPSTR output, DWORD outputSize) {
    SzCall* call =
        static_cast<SzCall*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SzCall)));
    if (call == NULL) {
        return SEVENZIP_ERROR_MEMORY;
    }
    call->owner = owner != NULL && IsWindow(owner) ? owner : NULL;
    SzConsoleInit(&call->output);
    // The owner stays disabled for the whole call, as under a modal dialog.
    bool disabled = call->owner != NULL && IsWindowEnabled(call->owner);
    if (disabled) {
        EnableWindow(call->owner, FALSE);
    }
    int result = Execute(call, cmdLine);
    SzClosePrivate(&call->folder);
    if (disabled) {
        EnableWindow(call->owner, TRUE);
    }
    SzCopyOutput(call, output, outputSize);
    if (call->quit) {
        PostQuitMessage(static_cast<int>(call->quitCode));
    }
    SzFreeCommand(&call->cmd);
    SecureZeroMemory(call->password, sizeof(call->password));
    SzConsoleFree(&call->output);
    SzArgsFree(&call->climbing);
    HeapFree(GetProcessHeap(), 0, call);
    return result;
}
