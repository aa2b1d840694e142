#include "tests/e2e/e2e_util.h"

#include <algorithm>
#include <map>

#include "sevenzip32/texts.h"
#include "tests/support/files.h"

namespace e2e {

const wchar_t kPasswordCaption[] = L"パスワードの入力";
const wchar_t kProgressCaption[] = L"7-zip32.dll - 処理中";
const wchar_t kMessageCaption[] = L"7-zip32.dll";

std::wstring Wide(const std::string& acp) {
    std::wstring out(acp.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, acp.c_str(), -1, &out[0], static_cast<int>(out.size()));
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

static std::string Narrow(const std::wstring& wide, UINT codePage) {
    std::string out(wide.size() * 4 + 1, '\0');
    int n = WideCharToMultiByte(codePage, 0, wide.c_str(), -1, &out[0],
                                static_cast<int>(out.size()), NULL, NULL);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

std::string Acp(const std::wstring& wide) {
    return Narrow(wide, CP_ACP);
}
std::string Utf8(const std::wstring& wide) {
    return Narrow(wide, CP_UTF8);
}

static void Put(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    if (!bytes.empty()) {
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    }
    CloseHandle(file);
}

void MakeTree(const std::wstring& root, size_t bigBytes) {
    static const wchar_t* const kFolders[] = {
        L"",
        L"\\表ソ フォルダ",
        L"\\表ソ フォルダ\\深い",
        L"\\表ソ フォルダ\\深い\\もっと 深い",
        L"\\空のフォルダ",
        L"\\sub dir",
    };
    for (const wchar_t* folder : kFolders) {
        CreateDirectoryW((root + folder).c_str(), NULL);
    }
    static const struct {
        const wchar_t* name;
        const char* text;
    } kFiles[] = {
        {L"\\empty.bin", ""},
        {L"\\表.txt", "hyou\r\n"},
        {L"\\ソ.txt", "so\r\n"},
        {L"\\-dash.txt", "leading dash\n"},
        {L"\\with blank name.txt", "blank in the name"},
        {L"\\表ソ フォルダ\\深い\\もっと 深い\\ソース 表.txt", "deep file with 表 and ソ"},
        {L"\\sub dir\\a.txt", "a"},
    };
    for (const auto& f : kFiles) {
        Put(root + f.name, f.text);
    }
    // Half noise, half zeros: real work for the compressor, but not all of it.
    std::string big(bigBytes, '\0');
    unsigned int seed = 12345;
    for (size_t i = 0; i < bigBytes; i++) {
        seed = seed * 1103515245u + 12345u;
        if ((i / 4096) % 2 == 0) {
            big[i] = static_cast<char>(seed >> 24);
        }
    }
    Put(root + L"\\big file.bin", big);
}

std::string FileBytes(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, NULL) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

static void Walk(const std::wstring& root, const std::wstring& rel,
                 std::vector<std::pair<std::wstring, std::string>>* out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + rel + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        std::wstring child = rel + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out->push_back({child + L"/", std::string()});
            Walk(root, child, out);
        } else {
            out->push_back({child, FileBytes(root + child)});
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

std::vector<std::pair<std::wstring, std::string>> ReadTree(const std::wstring& root) {
    std::vector<std::pair<std::wstring, std::string>> out;
    Walk(root, L"", &out);
    std::sort(out.begin(), out.end());
    return out;
}

std::string CompareTrees(const std::wstring& expected, const std::wstring& actual) {
    auto a = ReadTree(expected);
    auto b = ReadTree(actual);
    std::map<std::wstring, std::string> left(a.begin(), a.end());
    std::map<std::wstring, std::string> right(b.begin(), b.end());
    std::string diff;
    for (const auto& e : left) {
        auto it = right.find(e.first);
        if (it == right.end()) {
            diff += "missing: " + Utf8(e.first) + "\n";
        } else if (it->second != e.second) {
            diff += "different bytes: " + Utf8(e.first) + "\n";
        }
    }
    for (const auto& e : right) {
        if (left.find(e.first) == left.end()) {
            diff += "extra: " + Utf8(e.first) + "\n";
        }
    }
    if (a.empty()) {
        diff += "expected tree is empty\n";
    }
    return diff;
}

std::wstring FreshDir(const std::wstring& tag) {
    wchar_t temp[MAX_PATH] = {0};
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"sz32e2e_" + tag;
    testsupport::RemoveTree(Acp(dir));
    CreateDirectoryW(dir.c_str(), NULL);
    return dir;
}

struct FindState {
    const std::wstring* caption;
    std::vector<HWND> found;
};

static BOOL CALLBACK Collect(HWND wnd, LPARAM param) {
    FindState* state = reinterpret_cast<FindState*>(param);
    wchar_t cls[64] = {0};
    wchar_t title[256] = {0};
    GetClassNameW(wnd, cls, 64);
    GetWindowTextW(wnd, title, 256);
    if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(wnd) && *state->caption == title) {
        state->found.push_back(wnd);
    }
    return TRUE;
}

WindowAnswerer::WindowAnswerer(const std::wstring& caption, std::function<void(HWND)> act,
                               DWORD delayMs)
    : caption_(caption), act_(act), delayMs_(delayMs), stop_(false), count_(0),
      thread_(&WindowAnswerer::Run, this) {}

WindowAnswerer::~WindowAnswerer() {
    stop_ = true;
    thread_.join();
}

void WindowAnswerer::Run() {
    std::vector<HWND> handled;
    while (!stop_) {
        FindState state = {&caption_, {}};
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&state));
        // A handle seen before may come back for a new window once the old one is gone.
        handled.erase(std::remove_if(handled.begin(), handled.end(),
                                     [](HWND w) { return !IsWindow(w) || !IsWindowVisible(w); }),
                      handled.end());
        for (HWND wnd : state.found) {
            if (std::find(handled.begin(), handled.end(), wnd) != handled.end()) {
                continue;
            }
            Sleep(delayMs_);
            act_(wnd);
            handled.push_back(wnd);
            count_++;
        }
        Sleep(50);
    }
}

std::function<void(HWND)> TypePassword(const std::wstring& password) {
    return [password](HWND dialog) {
        if (password.empty()) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        SendDlgItemMessageW(dialog, SZ_ID_PASSWORD, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(password.c_str()));
        SendDlgItemMessageW(dialog, SZ_ID_CONFIRM, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(password.c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
}

Boxes::Boxes(const std::wstring& caption, int answer)
    : answerer_(caption, [this, answer](HWND box) {
          wchar_t text[4096] = {0};
          GetDlgItemTextW(box, 0xFFFF, text, 4096);
          {
              std::lock_guard<std::mutex> g(lock_);
              texts_ += std::wstring(text) + L"\n";
          }
          PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
      }) {}

std::wstring Boxes::All() {
    std::lock_guard<std::mutex> g(lock_);
    return texts_;
}

std::function<void(HWND)> Press(int id) {
    return [id](HWND dialog) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
}

} // namespace e2e
