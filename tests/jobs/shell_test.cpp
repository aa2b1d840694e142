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

void Check(int id, bool on) {
    SendMessageA(ControlHandle(id), BM_SETCHECK, on, 0);
}
void Select(int id, int index) {
    SendMessageA(ControlHandle(id), CB_SETCURSEL, index, 0);
}

class DropTest : public JobTest {
  protected:
    void SetUp() override {
        JobTest::SetUp();
        wnd_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 440, 260, NULL, NULL, NULL, NULL);
        CreateControls(wnd_);
    }
    void TearDown() override {
        DestroyWindow(wnd_);
        JobTest::TearDown();
    }
    // Drops names as the shell hands them over and checks that the job
    // released the handle.
    void Drop(const Lines& names) {
        std::string block;
        for (const std::string& name : names) {
            block += T(name) + '\0';
        }
        HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + block.size() + 1);
        ((DROPFILES*)GlobalLock(drop))->pFiles = sizeof(DROPFILES);
        memcpy((char*)GlobalLock(drop) + sizeof(DROPFILES), block.data(), block.size());
        GlobalUnlock(drop);
        GlobalUnlock(drop);
        RunDropJob(wnd_, (HDROP)drop);
        EXPECT_EQ(GMEM_INVALID_HANDLE, GlobalFlags(drop)) << "drop handle released";
    }
    HWND wnd_ = NULL;
};

TEST_F(DropTest, OptionsComeFromTheControlsAsTheyStand) {
    struct {
        int format, level, method;
        bool encrypt;
        const char* command; // the inputs "%T\n.txt" "%T\a.zip" follow
    } cases[] = {
        // clang-format off
        {0, 0, 2, false, "a -tzip -mx=0 -r0 \"%T\\n.zip\""},
        {0, 2, 1, true, "a -tzip -p -mem=AES128 -mx=3 -r0 \"%T\\n.zip\""},
        {0, 5, 2, true, "a -tzip -p -mem=AES256 -mx=9 -r0 \"%T\\n.zip\""},
        {0, 1, 0, true, "a -tzip -p -mem=ZipCrypto -mx=1 -r0 \"%T\\n.zip\""},
        {1, 3, 0, true, "a -t7z -p -mhe=on -mx=5 -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\""},
        {1, 4, -1, false, "a -t7z -mhe=off -mx=7 -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\""},
        {1, -1, 0, false, "a -t7z -mhe=off  -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\""},
        {-1, 3, 0, false, NULL},
        {0, 3, -1, true, NULL},
        // clang-format on
    };
    Make("n.txt a.zip");
    Check(IDC_COMP_SAMEPLACE, true);
    Check(IDC_DECOMP_ALL, true); // the settings record says otherwise
    for (auto& c : cases) {
        SCOPED_TRACE(c.command ? c.command : "no value");
        Script("");
        Select(IDC_COMP_FORMAT, c.format);
        Select(IDC_COMP_LEVEL, c.level);
        Select(IDC_COMP_ENC_METHOD, c.method);
        Check(IDC_COMP_ENCRYPT, c.encrypt);
        Drop({"%T\\n.txt", "%T\\a.zip"});
        Lines expected;
        if (c.command) {
            expected.push_back(std::string(c.command) + " \"%T\\n.txt\" \"%T\\a.zip\"");
        }
        EXPECT_EQ(expected, Commands(wnd_));
    }
}

TEST_F(DropTest, ExtractionReadsTheFolderBoxesPerArchive) {
    Make("a.zip b.zip");
    for (int id : {IDC_DECOMP_SAMEPLACE, IDC_DECOMP_ALL, IDC_DECOMP_DIR, IDC_DECOMP_OPEN}) {
        Check(id, true);
    }
    Script("[fake]\nresults=0,0x8102\n");
    Drop({"%T\\a.zip", "%T\\b.zip"});
    EXPECT_EQ(Lines({"x \"%T\\a.zip\" -o\"%T\\a\"", "x \"%T\\b.zip\" -o\"%T\\b\""}),
              Commands(wnd_));
    EXPECT_EQ(Lines{HwndText(wnd_) + " open %T\\a\\"}, g_opens);
}

TEST_F(DropTest, RefusalsAreOwnedByTheWindowAndReleaseTheHandle) {
    Script("[fake]\nrunning=1\n");
    Drop({"%T\\n.txt"});
    Script("");
    Drop({"%T\\n.txt", "C:\\" + std::string(MAX_PATH - 2, 'l')});
    EXPECT_EQ("busy !" MSG_BUSY " !" MSG_PATH_TOO_LONG, Transcript(wnd_));
}

TEST_F(DropTest, BrowserIsOwnedByTheWindow) {
    Make("n.txt out\\");
    Check(IDC_COMP_DECIDE, true);
    Select(IDC_COMP_FORMAT, 1);
    BrowserDriver driver(PICK_PATH, T("%T\\out"));
    Drop({"%T\\n.txt"});
    EXPECT_EQ(wnd_, driver.owner.load());
    EXPECT_EQ(Lines({"a -t7z -mhe=off  -ms=off -m0=LZMA2 -r0 \"%T\\out\\n.7z\" \"%T\\n.txt\""}),
              Commands(wnd_));
}

} // namespace
