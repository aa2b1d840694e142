// What Wine itself offers a Windows program: telling that it runs under Wine,
// mapping paths between the host and Windows, and running host programs
// (ntdll's spawn export, looked up at run time so the same binary runs on
// Windows). Everything here fails harmlessly outside Wine.
#pragma once
#include <windows.h>

// True when running under Wine (its path exports are present).
bool SzIsWine();

// Under Wine: the host path of a full Windows path (UTF-8). Elsewhere false.
bool SzWineHostPath(LPCWSTR fullPath, LPSTR hostName, int hostBytes);

// Under Wine: the Windows path of a host path, or false.
bool SzWineWindowsPath(LPCSTR hostPath, LPWSTR windowsPath, int windowsChars);

// Runs a host program (argv NULL-terminated, host bytes) to its end and
// returns its exit code; -1 outside Wine.
int SzHostRun(char* const* argv);

// Runs a /bin/sh script with up to two arguments ($1, $2); its exit code.
int SzHostShell(LPCSTR script, LPCSTR first, LPCSTR second = "");

// Creates a folder only the user can enter, named afresh under /tmp so that
// nobody can prepare it; its host and Windows paths. False on failure.
bool SzHostPrivateFolder(LPSTR host, int hostBytes, LPWSTR windows, int windowsChars);

// Removes a host folder tree, never following a link inside it.
void SzHostRemoveTree(LPCSTR host);
