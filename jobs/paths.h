// The parts of an input's path a job names its results by.
#pragma once

// Size of a name part buffer (a base name or a directory part).
#define NAME_PART_SIZE 257

// The file name of path without directory and last extension, in a shared
// buffer that the next call overwrites; NULL when the directory part or the
// base name does not fit a name part buffer.
const char* GetBaseName(const char* path);

// Drive and directory of path without the trailing backslash, in a shared
// buffer that the next call overwrites; NULL when the directory part does
// not fit a name part buffer.
const char* GetParentFolder(const char* path);
