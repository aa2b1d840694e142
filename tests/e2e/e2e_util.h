// Shared by the end-to-end tests: the generated tree, its comparison, and
// answers for the library's own windows. Names are code page 932.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "sevenzip32/texts.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"

namespace e2e {

const char kPasswordCaption[] = SZ_TEXT_PASSWORD_CAPTION;
const char kProgressCaption[] = SZ_TEXT_PROGRESS_CAPTION;
const char kMessageCaption[] = SZ_TEXT_TITLE;

// Builds under root: nested folders, an empty folder, an empty file, a big
// file of bigBytes, names with blanks, a leading dash and 表 / ソ.
inline void MakeTree(const std::string& root, size_t bigBytes = 10u * 1024u * 1024u) {
    for (const char* folder :
         {"", "\\表ソ フォルダ", "\\表ソ フォルダ\\深い", "\\表ソ フォルダ\\深い\\もっと 深い",
          "\\空のフォルダ", "\\sub dir"}) {
        CreateDirectoryA((root + folder).c_str(), NULL);
    }
    static const char* const kFiles[][2] = {
        {"\\empty.bin", ""},
        {"\\表.txt", "hyou\r\n"},
        {"\\ソ.txt", "so\r\n"},
        {"\\-dash.txt", "leading dash\n"},
        {"\\with blank name.txt", "blank in the name"},
        {"\\表ソ フォルダ\\深い\\もっと 深い\\ソース 表.txt", "deep file with 表 and ソ"},
        {"\\sub dir\\a.txt", "a"},
    };
    for (const auto& f : kFiles) {
        testsupport::WriteBytes(root + f[0], f[1]);
    }
    // Half noise, half zeros: real work for the compressor, but not all of it.
    std::string big(bigBytes, '\0');
    unsigned int seed = 12345;
    for (size_t i = 0; i < bigBytes; i++) {
        seed = seed * 1103515245u + 12345u;
        big[i] = (i / 4096) % 2 == 0 ? static_cast<char>(seed >> 24) : '\0';
    }
    testsupport::WriteBytes(root + "\\big file.bin", big);
}

// Every name under root ("dir/" for folders) with the bytes of each file.
inline std::map<std::string, std::string> ReadTree(const std::string& root,
                                                   const std::string& rel = "") {
    std::map<std::string, std::string> out;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((root + rel + "\\*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
        std::string child = rel + "\\" + data.cFileName;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            out[child] = testsupport::ReadBytes(root + child);
        } else if (strcmp(data.cFileName, ".") != 0 && strcmp(data.cFileName, "..") != 0) {
            out[child + "/"] = std::string();
            auto below = ReadTree(root, child);
            out.insert(below.begin(), below.end());
        }
    }
    FindClose(find);
    return out;
}

// "" when both trees hold the same names and bytes, else the names that differ.
inline std::string TreeDiff(const std::string& expected, const std::string& actual) {
    auto left = ReadTree(expected), right = ReadTree(actual);
    std::string diff = left.empty() ? "expected tree is empty\n" : "";
    for (const auto& e : left) {
        diff +=
            right.count(e.first) && right[e.first] == e.second ? "" : "differs: " + e.first + "\n";
    }
    for (const auto& e : right) {
        diff += left.count(e.first) ? "" : "extra: " + e.first + "\n";
    }
    return diff;
}

// An empty folder of the test, the same each run so that nothing piles up.
inline std::string FreshDir(const std::string& tag) {
    char temp[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "sz32e2e_" + tag;
    testsupport::RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

// A path in double quotes, for the library's command lines.
inline std::string Q(const std::string& path) {
    return "\"" + path + "\"";
}

// Every text the watcher saw, each followed by a newline.
inline std::string Texts(testsupport::DialogWatcher& watcher) {
    std::string all;
    for (const auto& seen : watcher.Seen()) {
        all += seen.text + "\n";
    }
    return all;
}

// Fills both fields of the password dialog (the watcher then presses OK).
inline std::function<void(HWND)> TypePassword(const std::string& password) {
    return [password](HWND dialog) {
        for (int id : {SZ_ID_PASSWORD, SZ_ID_CONFIRM}) {
            SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, (LPARAM)password.c_str());
        }
    };
}

} // namespace e2e
