#include "sevenzip32/call/call.h"

#include <strsafe.h>

#include "sevenzip32/base/codepage.h"
#include "sevenzip32/base/trace.h"
#include "sevenzip32/place/staging.h"

// Compression into a temporary archive beside the target (a copy of it when
// it exists), renamed over the target only when the engine succeeded.
int SzCompress(SzCall* call) {
    WCHAR archive[SZ_STAGE_CHARS];
    WCHAR folder[SZ_STAGE_CHARS];
    WCHAR given[SZ_PATH_BYTES];
    ZeroMemory(archive, sizeof(archive));
    ZeroMemory(folder, sizeof(folder));
    ZeroMemory(given, sizeof(given));
    SzAnsiToWide(call->cmd.archive, given, SZ_PATH_BYTES);
    LPWSTR leaf = NULL;
    GetFullPathNameW(given, SZ_STAGE_CHARS, archive, &leaf);
    if (leaf != NULL) {
        // The folder without its last backslash, unless it is a drive's root.
        size_t n = static_cast<size_t>(leaf - archive);
        StringCchCopyNW(folder, SZ_STAGE_CHARS, archive, n > 3 ? n - 1 : n);
    }
    SzStage stage;
    WCHAR temp[SZ_STAGE_CHARS];
    char tempAnsi[SZ_PATH_BYTES];
    char stageHost[SZ_STAGE_CHARS * 3];
    ZeroMemory(stageHost, sizeof(stageHost));
    ZeroMemory(temp, sizeof(temp));
    bool ready = leaf != NULL && SzStageOpen(&stage, folder, call->engine.wine) &&
                 SUCCEEDED(StringCchPrintfW(temp, SZ_STAGE_CHARS, L"%s\\%s", stage.dir, leaf)) &&
                 SzWideToAnsi(temp, tempAnsi, sizeof(tempAnsi));
    // Adding to an existing archive works on a copy, so a failure leaves it as it was.
    DWORD attributes = GetFileAttributesW(archive);
    ready = ready && (attributes == INVALID_FILE_ATTRIBUTES || CopyFileW(archive, temp, TRUE));
    int result = SEVENZIP_ERROR_FATAL;
    if (ready) {
        SzStageHostPath(call, stage.dir, stageHost, sizeof(stageHost));
        result = SzRunCommand(call, tempAnsi, NULL, stageHost, NULL);
    }
    if (result == SEVENZIP_OK) {
        // A folder that did not exist is the staging folder renamed.
        bool placed = stage.whole ? MoveFileW(stage.dir, folder)
                                  : MoveFileExW(temp, archive, MOVEFILE_REPLACE_EXISTING);
        stage.made = stage.made && !(placed && stage.whole);
        result = placed ? SEVENZIP_OK : SEVENZIP_ERROR_FATAL;
        ready = placed != FALSE;
        SzTrace("placed");
    }
    if (!ready) {
        SzAnsiToUtf8(call->cmd.archive, stageHost, sizeof(stageHost));
        SzReportFailure(call, SZ_TEXT_NOT_COMPRESSED, stageHost);
    }
    if (leaf != NULL) {
        SzStageClose(&stage);
        SzTrace("staging removed");
    }
    return result;
}
