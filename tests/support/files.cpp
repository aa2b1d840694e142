#include "tests/support/files.h"
#include <windows.h>
#include <stdio.h>

namespace testsupport {

static std::string DirOf(const std::string& path) {
    size_t cut = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte((BYTE)path[i]) && i + 1 < path.size()) {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/') {
            cut = i;
        }
    }
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string ExeDir() {
    char path[MAX_PATH] = {0};
    GetModuleFileNameA(NULL, path, MAX_PATH);
    return DirOf(path);
}

std::string BuildBinDir() {
    char full[MAX_PATH] = {0};
    std::string rel = ExeDir() + "\\..\\..\\bin";
    GetFullPathNameA(rel.c_str(), MAX_PATH, full, NULL);
    return full;
}

std::string TessaroExe() {
    return BuildBinDir() + "\\Tessaro.exe";
}

std::string MakeTempDir(const std::string& tag) {
    char base[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        char name[MAX_PATH] = {0};
        _snprintf(name, MAX_PATH - 1, "%stessaro-%s-%lu-%u", base, tag.c_str(),
                  (unsigned long)GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, NULL)) {
            return name;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return std::string();
        }
    }
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            std::string child = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ReadBytes(const std::string& path) {
    std::string out;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) {
        return out;
    }
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, NULL) && got > 0) {
        out.append(buf, got);
    }
    CloseHandle(f);
    return out;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(f);
    return ok && written == bytes.size();
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char part[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        _snprintf(part, sizeof part, "%02X", (unsigned char)bytes[i]);
        if (i) {
            out += ' ';
        }
        out.append(part, 2);
    }
    return out;
}

} // namespace testsupport
