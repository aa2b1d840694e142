// File helpers for tests: temporary folders, whole-file bytes, build paths.
#pragma once
#include <string>
#include <vector>

namespace testsupport {

// Folder of the running test program (no trailing backslash).
std::string ExeDir();
// build/bin/Tessaro.exe, the build's own: tests run copies of it.
std::string TessaroExe();
// A new empty folder under the temporary folder, named after tag.
std::string MakeTempDir(const std::string& tag);
// Under Wine the host path of a Windows path (UTF-8); elsewhere "".
std::string HostPath(const std::string& path);
// Under Wine runs a host program to its end; its exit code (-1 elsewhere).
int HostRun(const std::vector<std::string>& argv);
// Deletes a folder tree (best effort), never through a link inside it.
void RemoveTree(const std::string& path);
// Whole file as bytes; empty when missing.
std::string ReadBytes(const std::string& path);
// Replaces the file with bytes; false on failure.
bool WriteBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
// Bytes as "B7 AC DD" for readable failure messages.
std::string Hex(const std::string& bytes);

} // namespace testsupport
