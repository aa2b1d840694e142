#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include <windows.h>
#include <stdio.h>

namespace testsupport {

std::string FakeDir() {
    char dir[MAX_PATH] = {0};
    DWORD n = GetEnvironmentVariableA("FAKE7Z_DIR", dir, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        return dir;
    }
    return ExeDir();
}

static std::string Resolve(const std::string& dir) {
    return dir.empty() ? FakeDir() : dir;
}

void FakeReset(const std::string& script, const std::string& dir) {
    std::string d = Resolve(dir);
    WriteBytes(d + "\\script.ini", script);
    DeleteFileA((d + "\\log.txt").c_str());
}

std::vector<std::string> FakeLog(const std::string& dir) {
    std::vector<std::string> lines;
    std::string all = ReadBytes(Resolve(dir) + "\\log.txt");
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) {
            end = all.size();
        }
        lines.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> FakeCalls(const std::string& name, const std::string& dir) {
    std::vector<std::string> calls;
    for (const std::string& line : FakeLog(dir)) {
        if (line == name) {
            calls.push_back(std::string());
        } else if (line.compare(0, name.size() + 1, name + "\t") == 0) {
            calls.push_back(line.substr(name.size() + 1));
        }
    }
    return calls;
}

std::string HwndText(const void* wnd) {
    char text[16] = {0};
    _snprintf(text, sizeof text - 1, "%08lX", (unsigned long)(ULONG_PTR)wnd);
    return text;
}

} // namespace testsupport
