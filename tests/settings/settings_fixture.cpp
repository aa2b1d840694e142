#include "tests/settings/settings_fixture.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>
#include <tuple>
#include <vector>

const Options kDefaultOptions = {"DESKTOP", true,     true, true,        "DESKTOP",
                                 "7Z",      "LEVEL3", true, "ZipCrypto", true};

bool Options::operator==(const Options& o) const {
    return std::tie(DECOMPESS, DECOMP_ALL, DECOMP_DIR, DECOMP_OPEN, COMPESS, COMP_FORMAT,
                    COMP_LEVEL, COMP_ENCRYPT, COMP_ENC_METHOD, COMP_OPEN) ==
           std::tie(o.DECOMPESS, o.DECOMP_ALL, o.DECOMP_DIR, o.DECOMP_OPEN, o.COMPESS,
                    o.COMP_FORMAT, o.COMP_LEVEL, o.COMP_ENCRYPT, o.COMP_ENC_METHOD, o.COMP_OPEN);
}

std::ostream& operator<<(std::ostream& out, const Options& o) {
    return out << "{" << o.DECOMPESS << " " << o.DECOMP_ALL << o.DECOMP_DIR << o.DECOMP_OPEN << " "
               << o.COMPESS << " " << o.COMP_FORMAT << " " << o.COMP_LEVEL << " " << o.COMP_ENCRYPT
               << " " << o.COMP_ENC_METHOD << " " << o.COMP_OPEN << "}";
}

Options Snapshot(const CINI& ini) {
    return {ini.DECOMPESS,   ini.DECOMP_ALL, ini.DECOMP_DIR,   ini.DECOMP_OPEN,     ini.COMPESS,
            ini.COMP_FORMAT, ini.COMP_LEVEL, ini.COMP_ENCRYPT, ini.COMP_ENC_METHOD, ini.COMP_OPEN};
}

namespace {
template <size_t N> void SetField(char (&field)[N], const std::string& value) {
    ASSERT_LT(value.size(), N) << value;
    memset(field, 0, N);
    memcpy(field, value.data(), value.size());
}
} // namespace

void Assign(CINI& ini, const Options& o) {
    SetField(ini.DECOMPESS, o.DECOMPESS);
    SetField(ini.COMPESS, o.COMPESS);
    SetField(ini.COMP_FORMAT, o.COMP_FORMAT);
    SetField(ini.COMP_LEVEL, o.COMP_LEVEL);
    SetField(ini.COMP_ENC_METHOD, o.COMP_ENC_METHOD);
    ini.DECOMP_ALL = o.DECOMP_ALL;
    ini.DECOMP_DIR = o.DECOMP_DIR;
    ini.DECOMP_OPEN = o.DECOMP_OPEN;
    ini.COMP_ENCRYPT = o.COMP_ENCRYPT;
    ini.COMP_OPEN = o.COMP_OPEN;
}

void LoadFrom(CINI& ini, const std::string& path) {
    SetField(ini.iniPath, path);
    ini.LoadSettings();
}

namespace {

// Removes a folder with everything under it.
void RemoveTree(const std::string& dir) {
    for (const std::string& name : ListFolder(dir)) {
        std::string path = dir + name;
        if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path + "\\");
        } else {
            DeleteFileA(path.c_str());
        }
    }
    RemoveDirectoryA(dir.c_str());
}

class ScratchCleanup : public ::testing::Environment {
  public:
    void TearDown() override { RemoveTree(ScratchDir()); }
};
const ::testing::Environment* const kCleanup =
    ::testing::AddGlobalTestEnvironment(new ScratchCleanup);

} // namespace

const std::string& ScratchDir() {
    static std::string dir;
    if (dir.empty()) {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        dir =
            std::string(temp) + "tessaro-settings-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir.c_str(), NULL);
    }
    return dir;
}

std::string MakeScratchSubdir(const std::string& name) {
    std::string dir = ScratchDir() + name + "\\";
    EXPECT_TRUE(CreateDirectoryA(dir.c_str(), NULL)) << dir << " error " << GetLastError();
    return dir;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string ReadBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, NULL) && got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return bytes;
}

std::vector<std::string> ListFolder(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

const char* g_fakeModulePath;
const char* g_fakeUserName;
UserNameSource g_savedUserNameSource;
ModulePathSource g_savedModulePathSource;

// As GetUserNameA: fails with the needed size when the buffer is too small.
BOOL WINAPI FakeUserName(LPSTR buffer, LPDWORD bufferSize) {
    if (g_fakeUserName == NULL) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD needed = (DWORD)strlen(g_fakeUserName) + 1;
    if (*bufferSize < needed) {
        *bufferSize = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(buffer, g_fakeUserName, needed);
    *bufferSize = needed;
    return TRUE;
}

// As GetModuleFileNameA: a path that does not fit is cut, terminated, and
// reported with the full buffer size.
DWORD WINAPI FakeModulePath(HMODULE, LPSTR buffer, DWORD bufferSize) {
    if (g_fakeModulePath == NULL) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    DWORD length = (DWORD)strlen(g_fakeModulePath);
    if (length >= bufferSize) {
        memcpy(buffer, g_fakeModulePath, bufferSize - 1);
        buffer[bufferSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return bufferSize;
    }
    memcpy(buffer, g_fakeModulePath, length + 1);
    return length;
}

} // namespace

ScopedPathSources::ScopedPathSources(const char* modulePath, const char* userName) {
    g_fakeModulePath = modulePath;
    g_fakeUserName = userName;
    g_savedUserNameSource = g_userNameSource;
    g_savedModulePathSource = g_modulePathSource;
    g_userNameSource = FakeUserName;
    g_modulePathSource = FakeModulePath;
}

ScopedPathSources::~ScopedPathSources() {
    g_userNameSource = g_savedUserNameSource;
    g_modulePathSource = g_savedModulePathSource;
}
