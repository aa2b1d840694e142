#include "tests/support/files.h"
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>

namespace testsupport {

std::string ExeDir() {
    char path[MAX_PATH] = {0};
    GetModuleFileNameA(NULL, path, MAX_PATH);
    *strrchr(path, '\\') = '\0'; // the build folders hold no double-byte names
    return path;
}

std::string TessaroExe() {
    char full[MAX_PATH] = {0};
    GetFullPathNameA((ExeDir() + "\\..\\..\\bin\\Tessaro.exe").c_str(), MAX_PATH, full, NULL);
    return full;
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

std::string HostPath(const std::string& path) {
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH] = {0};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH - 1);
    char* host = toUnix != nullptr ? toUnix(wide) : nullptr;
    std::string out = host != nullptr ? host : "";
    HeapFree(GetProcessHeap(), 0, host);
    return out;
}

int HostRun(const std::vector<std::string>& argv) {
    typedef int(WINAPI * Spawn)(char* const*, int);
    auto spawn = reinterpret_cast<Spawn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "__wine_unix_spawnvp")));
    std::vector<char*> vector;
    for (const auto& arg : argv) {
        vector.push_back(const_cast<char*>(arg.c_str()));
    }
    vector.push_back(nullptr);
    return spawn != nullptr ? spawn(vector.data(), TRUE) : -1;
}

void RemoveTree(const std::string& path) {
    // Under Wine the host removes it: Wine's own calls follow links out of
    // the tree and cannot name every host file an archive may leave there.
    std::string host = HostPath(path);
    if (!host.empty() && HostRun({"/bin/rm", "-rf", "--", host}) != -1) {
        return;
    }
    std::string from = path + '\0'; // the list ends with a second zero
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

std::string ReadBytes(const std::string& path) {
    std::string out;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buf[65536];
        for (size_t got; (got = fread(buf, 1, sizeof buf, f)) > 0;) {
            out.append(buf, got);
        }
        fclose(f);
    }
    return out;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    bool ok = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return f && fclose(f) == 0 && ok;
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
    for (unsigned char byte : bytes) {
        _snprintf(part, sizeof part, out.empty() ? "%02X" : " %02X", byte);
        out += part;
    }
    return out;
}

} // namespace testsupport
