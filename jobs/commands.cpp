#include "jobs/commands.h"
#include "jobs/inputs.h"
#include "settings/ini.h"
#include <stdint.h>
#include <string.h>
#include <strsafe.h>

// Indexed by the position of the level in kLevels; the mapping is not linear.
static const char* const kLevelSwitches[LEVEL_COUNT] = {"-mx=0", "-mx=1", "-mx=3",
                                                        "-mx=5", "-mx=7", "-mx=9"};

const char* LevelSwitch(const char* level) {
    int index = level ? FindValue(kLevels, LEVEL_COUNT, level) : -1;
    return index < 0 ? "" : kLevelSwitches[index];
}

// Indexed by the position of the method in kEncMethods.
static const char* const kZipEncryptedTemplates[ENC_METHOD_COUNT] = {
    "a -tzip -p -mem=ZipCrypto %s -r0 \"%s\"",
    "a -tzip -p -mem=AES128 %s -r0 \"%s\"",
    "a -tzip -p -mem=AES256 %s -r0 \"%s\"",
};

struct FormatCommands {
    const char* plainTemplate;
    const char* encryptedTemplate; // NULL: the method chooses
    const char* archivePathFormat;
};

// Indexed by the position of the format in kFormats.
static const FormatCommands kFormatCommands[FORMAT_COUNT] = {
    {"a -tzip %s -r0 \"%s\"", NULL, "%s\\%s.zip"},
    {"a -t7z -mhe=off %s -ms=off -m0=LZMA2 -r0 \"%s\"",
     "a -t7z -p -mhe=on %s -ms=off -m0=LZMA2 -r0 \"%s\"", "%s\\%s.7z"},
};

static const FormatCommands* FindFormat(const char* format) {
    int index = format ? FindValue(kFormats, FORMAT_COUNT, format) : -1;
    return index < 0 ? NULL : &kFormatCommands[index];
}

const char* CompressionTemplate(const char* format, bool encrypt, const char* method) {
    const FormatCommands* commands = FindFormat(format);
    if (commands == NULL) {
        return NULL;
    }
    if (!encrypt) {
        return commands->plainTemplate;
    }
    if (commands->encryptedTemplate != NULL) {
        return commands->encryptedTemplate;
    }
    int index = method ? FindValue(kEncMethods, ENC_METHOD_COUNT, method) : -1;
    return index < 0 ? NULL : kZipEncryptedTemplates[index];
}

static CommandStatus ToStatus(HRESULT hr) {
    return SUCCEEDED(hr) ? COMMAND_OK : COMMAND_TOO_LONG;
}

CommandStatus FormatArchivePath(char* out, size_t outSize, const char* folder, const char* baseName,
                                const char* format) {
    ZeroMemory(out, outSize);
    const FormatCommands* commands = FindFormat(format);
    if (commands == NULL) {
        return COMMAND_BAD_OPTION;
    }
    HRESULT hr = StringCchPrintfA(out, outSize, commands->archivePathFormat, folder, baseName);
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
