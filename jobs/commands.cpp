#include "jobs/commands.h"
#include "jobs/inputs.h"
#include "settings/options.h"
#include <stdint.h>
#include <string.h>
#include <strsafe.h>

const char* CompressionTemplate(const OptionValue* format, bool encrypt,
                                const OptionValue* method) {
    if (format == NULL) {
        return NULL;
    }
    if (!encrypt) {
        return format->engine;
    }
    if (format->encrypted != NULL) {
        return format->encrypted;
    }
    return method != NULL ? method->engine : NULL;
}

static CommandStatus ToStatus(HRESULT hr) {
    return SUCCEEDED(hr) ? COMMAND_OK : COMMAND_TOO_LONG;
}

CommandStatus FormatArchivePath(char* out, size_t outSize, const char* folder, const char* baseName,
                                const OptionValue* format) {
    ZeroMemory(out, outSize);
    if (format == NULL) {
        return COMMAND_BAD_OPTION;
    }
    HRESULT hr = StringCchPrintfA(out, outSize, "%s\\%s%s", folder, baseName, format->extension);
    if (FAILED(hr) || strlen(out) > MAX_PATH) {
        ZeroMemory(out, outSize);
        return COMMAND_TOO_LONG;
    }
    return COMMAND_OK;
}

// A path as written into a command: a leading "-" would read as a switch.
#define COMMAND_PATH_SIZE (MAX_PATH + 3)

static CommandStatus CommandPath(char* out, const char* path) {
    ZeroMemory(out, COMMAND_PATH_SIZE);
    if (strchr(path, '"') != NULL) {
        return COMMAND_BAD_CHAR;
    }
    if (strlen(path) > MAX_PATH) {
        return COMMAND_TOO_LONG;
    }
    StringCchPrintfA(out, COMMAND_PATH_SIZE, path[0] == '-' ? ".\\%s" : "%s", path);
    return COMMAND_OK;
}

// Worst case per input: a blank, two quotes, ".\" and a full path. Worst case
// of the template: the 7z template with encryption, 43 characters besides its
// placeholders, a level switch, an archive path with ".\" and the zero.
#define INPUT_PIECE_SIZE (3 + COMMAND_PATH_SIZE - 1)
#define LONGEST_TEMPLATE_SIZE (43 + 5 + COMMAND_PATH_SIZE - 1 + 1)

size_t CompressionCommandSize(int inputCount) {
    if (inputCount < 0 ||
        (size_t)inputCount > (SIZE_MAX - LONGEST_TEMPLATE_SIZE) / INPUT_PIECE_SIZE) {
        return 0;
    }
    return (size_t)INPUT_PIECE_SIZE * (size_t)inputCount + LONGEST_TEMPLATE_SIZE;
}

CommandStatus BuildCompressionCommand(char* out, size_t outSize, const char* commandTemplate,
                                      const char* levelSwitch, const char* archivePath,
                                      const PathEntry* inputs, int inputCount) {
    ZeroMemory(out, outSize);
    char path[COMMAND_PATH_SIZE];
    CommandStatus status = CommandPath(path, archivePath);
    if (status != COMMAND_OK) {
        return status;
    }
    // Each piece is written at the end of the text so far: appending with a
    // fresh scan from the start would make a drop of many files quadratic.
    char* end = out;
    size_t remaining = outSize;
    status = ToStatus(StringCchPrintfExA(end, remaining, &end, &remaining, 0, commandTemplate,
                                         levelSwitch, path));
    for (int i = 0; i < inputCount && status == COMMAND_OK; ++i) {
        status = CommandPath(path, inputs[i].path);
        if (status == COMMAND_OK) {
            status =
                ToStatus(StringCchPrintfExA(end, remaining, &end, &remaining, 0, " \"%s\"", path));
        }
    }
    if (status != COMMAND_OK) {
        ZeroMemory(out, outSize);
    }
    return status;
}

CommandStatus BuildExtractionCommand(char* out, size_t outSize, const char* archivePath,
                                     const char* target) {
    ZeroMemory(out, outSize);
    char archive[COMMAND_PATH_SIZE];
    char folder[COMMAND_PATH_SIZE];
    CommandStatus status = CommandPath(archive, archivePath);
    if (status == COMMAND_OK) {
        status = CommandPath(folder, target);
    }
    if (status == COMMAND_OK) {
        status = ToStatus(StringCchPrintfA(out, outSize, "x \"%s\" -o\"%s\"", archive, folder));
    }
    if (status != COMMAND_OK) {
        ZeroMemory(out, outSize);
    }
    return status;
}
