#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include <windows.h>
#include <stdio.h>
#include <sstream>

namespace testsupport {

static std::string Resolve(const std::string& dir) {
    char env[MAX_PATH] = {0};
    DWORD n = GetEnvironmentVariableA("FAKE7Z_DIR", env, MAX_PATH);
    return !dir.empty() ? dir : n > 0 && n < MAX_PATH ? env : ExeDir();
}

void FakeReset(const std::string& script, const std::string& dir) {
    std::string d = Resolve(dir);
    WriteBytes(d + "\\script.ini", script);
    DeleteFileA((d + "\\log.txt").c_str());
}

std::vector<std::string> FakeLog(const std::string& dir) {
    std::vector<std::string> lines;
    std::istringstream all(ReadBytes(Resolve(dir) + "\\log.txt"));
    for (std::string line; std::getline(all, line);) {
        lines.push_back(line);
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
