#include "sevenzip32/engine/result.h"

#include "sevenzip32/engine/enginetext.h"

#include <string.h>

// The engine's documented exit codes and the library codes they become.
static const struct {
    int exitCode;
    int result;
} kExitCodes[] = {
    {0, SEVENZIP_OK},           {1, SEVENZIP_ERROR_WARNING},
    {2, SEVENZIP_ERROR_FATAL},  {7, SEVENZIP_ERROR_COMMAND},
    {8, SEVENZIP_ERROR_MEMORY}, {255, SEVENZIP_ERROR_FATAL},
};

int SzMapExitCode(int exitCode, LPCSTR errorText, bool cancelled) {
    // Cancel pressed as the engine finished: the work is done, and says so.
    if (cancelled && exitCode != 0) {
        return SEVENZIP_ERROR_CANCELLED;
    }
    if (exitCode != 0 && SzTextMeansWrongPassword(errorText)) {
        return SEVENZIP_ERROR_PASSWORD;
    }
    for (size_t i = 0; i < sizeof(kExitCodes) / sizeof(kExitCodes[0]); i++) {
        if (kExitCodes[i].exitCode == exitCode) {
            return kExitCodes[i].result;
        }
    }
    return SEVENZIP_ERROR_FATAL;
}
