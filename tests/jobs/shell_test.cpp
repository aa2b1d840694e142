// The shell's side of a job: the folder browser driven from a thread, the
// desktop folder, the open step, and drops on a window carrying the form's
// real controls, whose states are the job's options.
#include "app/mainwnd.h"
#include "jobs/messages.h"
#include "res/resource.h"
#include "tests/jobs/harness.h"
#include <commctrl.h>
#include <shlwapi.h>
#include <atomic>
#include <thread>

using namespace testsupport;

namespace {

enum BrowseAction { PICK_PATH, PICK_NO_PATH, CANCEL };

// Answers every folder browser that appears: picks a folder and presses OK,
// picks "My Computer" (no file-system path), or cancels.
struct BrowserDriver {
    BrowserDriver(BrowseAction a, const std::string& p) : action(a), path(p) {
        leaf = PathFindFileNameA(path.c_str());
        if (leaf.size() == 3 && leaf[1] == ':') { // a drive root shows as "C:"
            leaf.resize(2);
        }
        thread = std::thread([this] { Run(); });
    }
    ~BrowserDriver() {
        stop = true;
        thread.join();
    }
    // The tree fills slowly the first time: true once the selection has
    // moved off the root to an item named like the wanted folder.
    bool Selected(HWND browser) {
        LPITEMIDLIST computer = NULL;
        if (action == PICK_PATH) {
            SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, (LPARAM)path.c_str());
        } else {
            SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &computer);
            SendMessageA(browser, BFFM_SETSELECTIONA, FALSE, (LPARAM)computer);
            CoTaskMemFree(computer);
        }
        HWND tree = GetDlgItem(browser, 14145);
        char text[MAX_PATH] = {0};
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetSelection(tree);
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&item);
        return item.hItem && item.hItem != TreeView_GetRoot(tree) &&
               (action != PICK_PATH || strstr(text, leaf.c_str()));
    }
    void Run() {
        for (HWND handled = NULL; !stop; Sleep(30)) {
            HWND browser = FindWindowA("#32770", "フォルダーの参照");
            if (browser == NULL || browser == handled || !IsWindowVisible(browser)) {
                continue;
            }
            handled = browser;
            owner = GetWindow(browser, GW_OWNER);
            titleShown = FindWindowExA(browser, NULL, NULL, "フォルダを選択してください") != NULL;
            ++seen;
            for (int i = 0; action != CANCEL && i < 100 && !stop && !Selected(browser); ++i) {
                Sleep(100);
            }
            PostMessageA(browser, WM_COMMAND, action == CANCEL ? IDCANCEL : IDOK, 0);
        }
    }
    BrowseAction action;
    std::string path, leaf;
    std::atomic<bool> stop{false}, titleShown{false};
    std::atomic<int> seen{0};
    std::atomic<HWND> owner{NULL};
    std::thread thread;
};

struct BrowseCase {
    BrowseAction action;
    const char* pick;
    Lines commands, messages;
};

// clang-format off
const BrowseCase kBrowses[] = {
    {PICK_PATH, "%T\\out", {"x \"%T\\a.zip\" -o\"%T\\out\"", "x \"%T\\b.zip\" -o\"%T\\out\""}, {}},
    {PICK_PATH, "%T\\ソ", {"x \"%T\\a.zip\" -o\"%T\\ソ\"", "x \"%T\\b.zip\" -o\"%T\\ソ\""}, {}}, // ends in a trail byte 0x5C
    {PICK_PATH, "C:\\", {"x \"%T\\a.zip\" -o\"C:\"", "x \"%T\\b.zip\" -o\"C:\""}, {}},
    {CANCEL, "", {}, {MSG_CANCELLED}},
    {PICK_NO_PATH, "", {}, {MSG_NO_FOLDER}},
};
// clang-format on

class BrowseTest : public JobTest, public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(BrowseTest, BrowserIsAskedOncePerJob) {
    const BrowseCase& c = GetParam();
    Make("a.zip b.zip out\\ ソ\\");
    SetText(g_ini.DECOMPESS, "DECIDE");
    g_ini.DECOMP_ALL = true;
    BrowserDriver driver(c.action, T(c.pick));
    RunArgs({"%T\\a.zip", "%T\\b.zip"});
    EXPECT_EQ(1, driver.seen.load());
    EXPECT_TRUE(driver.titleShown);
    EXPECT_EQ((HWND)NULL, driver.owner.load());
    EXPECT_EQ(c.commands, Commands());
    EXPECT_EQ(c.messages, Messages());
}

INSTANTIATE_TEST_SUITE_P(Jobs, BrowseTest, ::testing::ValuesIn(kBrowses));

// Results on the prefix's real desktop folder are not opened; the folder is
// compared case-sensitively.
TEST_F(JobTest, DestinationOnTheDesktopIsNotOpened) {
    const std::string desktop = GetDesktopFolder(), archive = desktop + "\\jobs-test.zip";
    ASSERT_FALSE(desktop.empty());
    std::string lower = archive;
    CharLowerA(&lower[0]);
    ASSERT_NE(lower, archive);
    const std::string lowerDir = lower.substr(0, lower.rfind('\\'));
    WriteBytes(archive, "zip");
    Make("n.txt");
    g_ini.DECOMP_OPEN = g_ini.COMP_OPEN = true;
    RunArgs({archive});
    RunArgs({lower});
    g_ini.DECOMP_DIR = true;
    RunArgs({archive});
    SetText(g_ini.COMPESS, "DESKTOP");
    RunArgs({"%T\\n.txt"});
    EXPECT_EQ(Lines({"x \"" + archive + "\" -o\"" + desktop + "\"",
                     "x \"" + lower + "\" -o\"" + lowerDir + "\"",
                     "x \"" + archive + "\" -o\"" + desktop + "\\jobs-test\"",
                     "a -t7z -mhe=off -mx=5 -ms=off -m0=LZMA2 -r0 \"" + desktop +
                         "\\n.7z\" \"%T\\n.txt\""}),
              Commands());
    EXPECT_EQ(
        Lines({"00000000 open " + lowerDir + "\\", "00000000 open " + desktop + "\\jobs-test\\"}),
        g_opens);
    DeleteFileA(archive.c_str());
    RemoveDirectoryA((desktop + "\\jobs-test").c_str());
}

TEST_F(JobTest, BrowserOfADropIsOwnedByTheForm) {
    Make("n.txt out\\");
    HWND form = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 440, 260, NULL, NULL, NULL, NULL);
    CreateControls(form);
    SendMessageA(ControlHandle(IDC_COMP_DECIDE), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(ControlHandle(IDC_COMP_FORMAT), CB_SETCURSEL, 1, 0);
    BrowserDriver driver(PICK_PATH, T("%T\\out"));
    Drop(form, {"%T\\n.txt"}, false);
    EXPECT_EQ(form, driver.owner.load());
    EXPECT_EQ(Lines{"a -t7z -mhe=off  -ms=off -m0=LZMA2 -r0 \"%T\\out\\n.7z\" \"%T\\n.txt\""},
              Commands(form));
    DestroyWindow(form);
}

} // namespace
