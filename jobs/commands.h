// The library's command lines, built as plain text from text.
#pragma once
#include <stddef.h>

struct OptionValue;
struct PathEntry;

// Why a command or a path could not be built.
enum CommandStatus {
    COMMAND_OK,
    COMMAND_TOO_LONG,   // a path or the command does not fit its buffer
    COMMAND_BAD_CHAR,   // a path holds a double quote
    COMMAND_BAD_OPTION, // a format or method outside its value set
};

// Size of the extraction command buffer.
#define EXTRACT_COMMAND_SIZE 584

// The compression command template for the values chosen, with two %s
// (level switch and archive path); NULL without a format, or without a
// method for a format whose encryption the method decides.
const char* CompressionTemplate(const OptionValue* format, bool encrypt, const OptionValue* method);

// Writes folder, a backslash, baseName and the format's extension.
CommandStatus FormatArchivePath(char* out, size_t outSize, const char* folder, const char* baseName,
                                const OptionValue* format);

// Bytes needed for a compression command over inputCount inputs; 0 when
// that is more than memory can address.
size_t CompressionCommandSize(int inputCount);

// Fills the template, then appends every input as a blank and a quoted path.
CommandStatus BuildCompressionCommand(char* out, size_t outSize, const char* commandTemplate,
                                      const char* levelSwitch, const char* archivePath,
                                      const PathEntry* inputs, int inputCount);

// The extraction command of one archive into target (out holds
// EXTRACT_COMMAND_SIZE bytes).
CommandStatus BuildExtractionCommand(char* out, size_t outSize, const char* archivePath,
                                     const char* target);
