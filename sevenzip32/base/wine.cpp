#include "sevenzip32/base/wine.h"

#include <string.h>
#include <strsafe.h>
#include <wchar.h>

typedef char*(__cdecl* WineUnixNameFn)(LPCWSTR dosName);
typedef WCHAR*(__cdecl* WineDosNameFn)(LPCSTR unixName);

static WineUnixNameFn UnixNameFn() {
    return reinterpret_cast<WineUnixNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
}

static WineDosNameFn DosNameFn() {
    return reinterpret_cast<WineDosNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_dos_file_name")));
}

bool SzIsWine() {
    return UnixNameFn() != NULL && DosNameFn() != NULL;
}

bool SzWineHostPath(LPCWSTR fullPath, LPSTR hostName, int hostBytes) {
    WineUnixNameFn toUnix = UnixNameFn();
    if (toUnix == NULL) {
        return false;
    }
    char* mapped = toUnix(fullPath);
    if (mapped == NULL) {
        return false;
    }
    bool fits = strlen(mapped) < static_cast<size_t>(hostBytes);
    if (fits) {
        memcpy(hostName, mapped, strlen(mapped) + 1);
    }
    HeapFree(GetProcessHeap(), 0, mapped);
    return fits;
}

bool SzWineWindowsPath(LPCSTR hostPath, LPWSTR windowsPath, int windowsChars) {
    WineDosNameFn toDos = DosNameFn();
    if (toDos == NULL) {
        return false;
    }
    WCHAR* mapped = toDos(hostPath);
    if (mapped == NULL) {
        return false;
    }
    bool fits = wcslen(mapped) < static_cast<size_t>(windowsChars);
    if (fits) {
        memcpy(windowsPath, mapped, (wcslen(mapped) + 1) * sizeof(WCHAR));
    }
    HeapFree(GetProcessHeap(), 0, mapped);
    return fits;
}

typedef int(WINAPI* WineSpawnFn)(char* const argv[], int wait);

int SzHostRun(char* const* argv) {
    WineSpawnFn spawn = reinterpret_cast<WineSpawnFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "__wine_unix_spawnvp")));
    return spawn != NULL ? spawn(argv, TRUE) : -1;
}

int SzHostShell(LPCSTR script, LPCSTR first, LPCSTR second) {
    char* argv[] = {const_cast<char*>("/bin/sh"),
                    const_cast<char*>("-c"),
                    const_cast<char*>(script),
                    const_cast<char*>("sh"),
                    const_cast<char*>(first),
                    const_cast<char*>(second),
                    NULL};
    return SzHostRun(argv);
}

bool SzHostPrivateFolder(LPSTR host, int hostBytes, LPWSTR windows, int windowsChars) {
    static LONG counter = 0;
    for (int attempt = 0; attempt < 8; attempt++) {
        char name[MAX_PATH * 3];
        ZeroMemory(name, sizeof(name));
        StringCchPrintfA(name, sizeof(name), "/tmp/7-zip32-%lu-%lu-%ld", GetCurrentProcessId(),
                         GetTickCount(), InterlockedIncrement(&counter));
        // Only a name that mkdir really created is ours: clean-up must never
        // reach a folder somebody else made. mkdir creates it with no more
        // than 0700 and then exactly that; no shell is needed to ask it.
        char* mkdir[] = {const_cast<char*>("/bin/mkdir"),
                         const_cast<char*>("-m"),
                         const_cast<char*>("700"),
                         const_cast<char*>("--"),
                         name,
                         NULL};
        if (SzHostRun(mkdir) == 0) {
            bool mapped = SUCCEEDED(StringCchCopyA(host, hostBytes, name)) &&
                          SzWineWindowsPath(name, windows, windowsChars);
            if (!mapped) {
                char* rmdir[] = {const_cast<char*>("/bin/rmdir"), const_cast<char*>("--"), name,
                                 NULL};
                SzHostRun(rmdir);
            }
            return mapped;
        }
    }
    return false;
}

void SzHostRemoveTree(LPCSTR host) {
    char* argv[] = {const_cast<char*>("/bin/rm"), const_cast<char*>("-rf"), const_cast<char*>("--"),
                    const_cast<char*>(host), NULL};
    SzHostRun(argv);
}
