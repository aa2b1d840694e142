// Prints how long building a compression command takes for large drops, and
// how long splitting a path takes. Run through bench/jobs/bench.sh; figures only.
#include "jobs/commands.h"
#include "jobs/inputs.h"
#include "jobs/paths.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <vector>

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

int main() {
    const char* sevenZip = CompressionTemplate("7Z", true, NULL);
    for (int count : {1000, 10000, 50000}) {
        std::vector<PathEntry> inputs(count);
        for (int i = 0; i < count; ++i) {
            memset(&inputs[i], 0, sizeof inputs[i]);
            snprintf(inputs[i].path, sizeof inputs[i].path, "D:\\in\\photos\\%06d-%0200d.jpg", i,
                     0);
        }
        size_t size = CompressionCommandSize(count);
        std::vector<char> command(size);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        CommandStatus status = BuildCompressionCommand(command.data(), size, sevenZip, "-mx=9",
                                                       "D:\\out\\photos.7z", inputs.data(), count);
        QueryPerformanceCounter(&end);
        printf("compression command, %6d inputs: %8.3f s, %9u bytes, status %d\n", count,
               Seconds(start, end), (unsigned)strlen(command.data()), (int)status);
    }
    const int splits = 100000;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < splits; ++i) {
        GetBaseName("D:\\表\\ソ\\report.final.2011\\能力\\photos of the trip.docx");
    }
    QueryPerformanceCounter(&end);
    printf("GetBaseName, %d calls: %.3f s\n", splits, Seconds(start, end));
    return 0;
}
