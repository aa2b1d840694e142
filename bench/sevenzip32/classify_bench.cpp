// Asks 7-zip32.dll (first argument) for the type of every file in a folder
// (second argument) and prints the answers and the time per file.
#include <windows.h>
#include <stdio.h>

typedef int(WINAPI* TypeFn)(LPCSTR path);

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: classify_bench DLL FOLDER\n");
        return 2;
    }
    HMODULE dll = LoadLibraryA(argv[1]);
    TypeFn type = dll != NULL ? reinterpret_cast<TypeFn>(reinterpret_cast<void*>(
                                    GetProcAddress(dll, "SevenZipGetArchiveType")))
                              : NULL;
    if (type == NULL) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 2;
    }
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof(pattern), "%s\\*", argv[2]);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    int files = 0;
    int counts[4] = {0, 0, 0, 0};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    while (search != INVALID_HANDLE_VALUE) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            char path[MAX_PATH];
            snprintf(path, sizeof(path), "%s\\%s", argv[2], found.cFileName);
            counts[type(path) + 1]++;
            files++;
        }
        if (!FindNextFileA(search, &found)) {
            FindClose(search);
            break;
        }
    }
    QueryPerformanceCounter(&end);
    double ms = 1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart;
    printf("%d files: %d not archives, %d other, %d ZIP, %d 7z\n", files, counts[0], counts[1],
           counts[2], counts[3]);
    printf("classified in %.1f ms, %.3f ms per file\n", ms, files > 0 ? ms / files : 0.0);
    return 0;
}
