// Runs one SevenZip call of 7-zip32.dll, its command line read from a file
// (code page 932), and prints the wall time and this process's CPU time.
// Run through bench/sevenzip32/bench.sh; figures only.
#include <windows.h>
#include <stdio.h>
#include <vector>

typedef int(WINAPI* SevenZipFn)(HWND, LPCSTR, LPSTR, DWORD);

static double Cpu() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULONGLONG k = (static_cast<ULONGLONG>(kernel.dwHighDateTime) << 32) | kernel.dwLowDateTime;
    ULONGLONG u = (static_cast<ULONGLONG>(user.dwHighDateTime) << 32) | user.dwLowDateTime;
    return static_cast<double>(k + u) / 1e7;
}

int main(int argc, char** argv) {
    HMODULE library = LoadLibraryA("7-zip32.dll");
    SevenZipFn sevenZip = library != NULL ? reinterpret_cast<SevenZipFn>(reinterpret_cast<void*>(
                                                GetProcAddress(library, "SevenZip")))
                                          : NULL;
    FILE* file = argc > 1 ? fopen(argv[1], "rb") : NULL;
    if (sevenZip == NULL || file == NULL) {
        fprintf(stderr, "usage: sevenzip32_bench COMMAND_FILE (beside 7-zip32.dll)\n");
        return 2;
    }
    std::vector<char> command;
    char chunk[65536];
    for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;) {
        command.insert(command.end(), chunk, chunk + got);
    }
    fclose(file);
    command.push_back('\0');
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    double cpu = Cpu();
    QueryPerformanceCounter(&start);
    int result = sevenZip(NULL, command.data(), NULL, 0);
    QueryPerformanceCounter(&end);
    printf("result 0x%X, %.3f s, caller CPU %.3f s\n", result,
           static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart, Cpu() - cpu);
    return result == 0 ? 0 : 1;
}
