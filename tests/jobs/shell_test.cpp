// The shell's side of a job: the folder browser driven from a watcher
// thread, the desktop folder, the open step, and drops on a window whose
// controls carry the options.
#include "jobs/destination.h"
#include "jobs/dispatch.h"
#include "jobs/messages.h"
#include "res/resource.h"
#include "settings/ini.h"
#include "tests/jobs/harness.h"
#include "tests/support/fake7z.h"
#include "tests/support/files.h"
#include <commctrl.h>
#include <shlwapi.h>
#include <atomic>
#include <thread>

using namespace testsupport;
typedef std::vector<std::string> Lines;

namespace {

enum BrowseAction { PICK_PATH, PICK_NO_PATH, CANCEL };

// Answers every folder browser that appears: picks a folder and presses OK,
// picks "My Computer" (no file-system path), or cancels.
class BrowserDriver {
  public:
    BrowserDriver(BrowseAction action, const std::string& path)
        : action_(action), path_(path), stop_(false), seen_(0), owner_(NULL),
          thread_(&BrowserDriver::Run, this) {}
    ~BrowserDriver() {
        stop_ = true;
        thread_.join();
    }
    int seen() const { return seen_; }
    HWND owner() const { return owner_; }
    bool titleShown() const { return titleShown_; }

  private:
    static BOOL CALLBACK FindTitle(HWND child, LPARAM found) {
        char text[256] = {0};
        GetWindowTextA(child, text, sizeof text);
        if (strcmp(text, "フォルダを選択してください") == 0) {
            *(bool*)found = true;
        }
        return TRUE;
    }
    // The tree fills slowly the first time: select until the selection has
    // moved off the root to an item named like the wanted one.
    void Select(HWND browser) {
        HWND tree = GetDlgItem(browser, 14145);
        std::string leaf = PathFindFileNameA(path_.c_str()); // "C:\\" stays whole
        if (leaf.size() == 3 && leaf[1] == ':') {
            leaf.resize(2);
        }
        for (int attempt = 0; attempt < 100 && !stop_; ++attempt) {
            if (action_ == PICK_PATH) {
                SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, (LPARAM)path_.c_str());
            } else {
                LPITEMIDLIST computer = NULL;
                SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &computer);
                SendMessageA(browser, BFFM_SETSELECTIONA, FALSE, (LPARAM)computer);
                CoTaskMemFree(computer);
            }
            HTREEITEM selected = TreeView_GetSelection(tree);
            char text[MAX_PATH] = {0};
            TVITEMA item = {};
            item.mask = TVIF_TEXT;
            item.hItem = selected;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&item);
            if (selected != NULL && selected != TreeView_GetRoot(tree) &&
                (action_ != PICK_PATH || strstr(text, leaf.c_str()) != NULL)) {
                return;
            }
            Sleep(100);
        }
    }
    void Run() {
        HWND handled = NULL;
        while (!stop_) {
            HWND browser = FindWindowA("#32770", "フォルダーの参照");
            if (browser == NULL || browser == handled || !IsWindowVisible(browser)) {
                Sleep(30);
                continue;
            }
            handled = browser;
            owner_ = GetWindow(browser, GW_OWNER);
            bool found = false;
            EnumChildWindows(browser, FindTitle, (LPARAM)&found);
            titleShown_ = found;
            ++seen_;
            if (action_ != CANCEL) {
                Select(browser);
            }
            PostMessageA(browser, WM_COMMAND, action_ == CANCEL ? IDCANCEL : IDOK, 0);
        }
    }
    BrowseAction action_;
    std::string path_;
    std::atomic<bool> stop_;
    std::atomic<int> seen_;
    std::atomic<HWND> owner_;
    std::atomic<bool> titleShown_{false};
    std::thread thread_;
};

struct BrowseCase {
    const char* name;
    BrowseAction action;
    const char* pick;
    Lines commands;
    Lines messages;
};

const BrowseCase kBrowses[] = {
    {"picked folder",
     PICK_PATH,
     "%T\\out",
     {"x \"%T\\a.zip\" -o\"%T\\out\"", "x \"%T\\b.zip\" -o\"%T\\out\""},
     {}},
    {"picked folder ending in a trail byte 0x5C",
     PICK_PATH,
     "%T\\ソ",
     {"x \"%T\\a.zip\" -o\"%T\\ソ\"", "x \"%T\\b.zip\" -o\"%T\\ソ\""},
     {}},
    {"picked drive root",
     PICK_PATH,
     "C:\\",
     {"x \"%T\\a.zip\" -o\"C:\"", "x \"%T\\b.zip\" -o\"C:\""},
     {}},
    {"cancelled", CANCEL, "", {}, {MSG_CANCELLED}},
    {"no file-system path", PICK_NO_PATH, "", {}, {MSG_NO_FOLDER}},
};

class BrowseTest : public JobTest, public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(BrowseTest, BrowserIsAskedOncePerJob) {
    const BrowseCase& c = GetParam();
    Make("a.zip");
    Make("b.zip");
    Make("out\\");
    Make("ソ\\");
    strcpy(g_ini.DECOMPESS, "DECIDE");
    g_ini.DECOMP_ALL = true;
    BrowserDriver driver(c.action, T(c.pick));
    RunArgs({"%T\\a.zip", "%T\\b.zip"});
    EXPECT_EQ(1, driver.seen());
    EXPECT_TRUE(driver.titleShown());
    EXPECT_EQ(NULL, driver.owner());
    EXPECT_EQ(c.commands, Commands());
    EXPECT_EQ(c.messages, Messages());
}

INSTANTIATE_TEST_SUITE_P(Jobs, BrowseTest, ::testing::ValuesIn(kBrowses));

// Jobs on the real desktop folder of the test prefix.
class DesktopTest : public JobTest {
  protected:
    void SetUp() override {
        JobTest::SetUp();
        desktop_ = GetDesktopFolder();
        ASSERT_FALSE(desktop_.empty());
        archive_ = desktop_ + "\\jobs-test.zip";
        WriteBytes(archive_, "zip");
    }
    void TearDown() override {
        DeleteFileA(archive_.c_str());
        RemoveDirectoryA((desktop_ + "\\jobs-test").c_str());
        DeleteFileA((desktop_ + "\\n.7z").c_str());
        JobTest::TearDown();
    }
    std::string Desktop(const Lines& lines) {
        Lines out;
        for (std::string line : lines) {
            for (size_t at; (at = line.find(desktop_)) != std::string::npos;) {
                line.replace(at, desktop_.size(), "%D");
            }
            out.push_back(line);
        }
        std::string joined;
        for (const std::string& line : out) {
            joined += line + "\n";
        }
        return joined;
    }
    std::string desktop_;
    std::string archive_;
};

TEST_F(DesktopTest, DestinationOnTheDesktopIsNotOpened) {
    g_ini.DECOMP_OPEN = true;
    RunArgs({archive_});
    g_ini.DECOMP_DIR = true;
    RunArgs({archive_});
    EXPECT_EQ("x \"%D\\jobs-test.zip\" -o\"%D\"\nx \"%D\\jobs-test.zip\" -o\"%D\\jobs-test\"\n",
              Desktop(Commands()));
    EXPECT_EQ("00000000|open|%D\\jobs-test\\|(null)|(null)|1\n", Desktop(g_opens));
}

TEST_F(DesktopTest, DesktopComparisonIsCaseSensitive) {
    std::string lower = archive_;
    CharLowerA(&lower[0]);
    ASSERT_NE(lower, archive_);
    g_ini.DECOMP_OPEN = true;
    RunArgs({lower});
    ASSERT_EQ(1u, g_opens.size());
    std::string folder = lower.substr(0, lower.rfind('\\') + 1);
    EXPECT_EQ("00000000|open|" + folder + "|(null)|(null)|1", g_opens[0]);
}

TEST_F(DesktopTest, CompressionToTheDesktop) {
    Make("n.txt");
    strcpy(g_ini.COMPESS, "DESKTOP");
    g_ini.COMP_OPEN = true;
    RunArgs({"%T\\n.txt"});
    EXPECT_EQ("a -t7z -mhe=off -mx=5 -ms=off -m0=LZMA2 -r0 \"%D\\n.7z\" \"%T\\n.txt\"\n",
              Desktop(Commands()));
    EXPECT_TRUE(g_opens.empty());
}

// A window carrying the option controls, as the main window does.
class DropTest : public JobTest {
  protected:
    void SetUp() override {
        JobTest::SetUp();
        wnd_ = CreateWindowExA(0, "STATIC", "jobs", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, NULL, NULL,
                               NULL, NULL);
        ASSERT_NE(nullptr, wnd_);
        for (int id = IDC_DECOMP_DESKTOP; id <= IDC_COMP_OPEN; ++id) {
            bool list = id == IDC_COMP_FORMAT || id == IDC_COMP_LEVEL || id == IDC_COMP_ENC_METHOD;
            CreateWindowExA(0, list ? "COMBOBOX" : "BUTTON", "",
                            WS_CHILD | (list ? CBS_DROPDOWNLIST : BS_AUTOCHECKBOX), 0, 0, 50, 100,
                            wnd_, (HMENU)(INT_PTR)id, NULL, NULL);
        }
        Fill(IDC_COMP_FORMAT, FORMAT_COUNT);
        Fill(IDC_COMP_LEVEL, LEVEL_COUNT);
        Fill(IDC_COMP_ENC_METHOD, ENC_METHOD_COUNT);
    }
    void TearDown() override {
        DestroyWindow(wnd_);
        JobTest::TearDown();
    }
    void Fill(int id, int count) {
        for (int i = 0; i < count; ++i) {
            SendDlgItemMessageA(wnd_, id, CB_ADDSTRING, 0, (LPARAM) "item");
        }
    }
    void Check(int id, bool on) {
        SendDlgItemMessageA(wnd_, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void Select(int id, int index) { SendDlgItemMessageA(wnd_, id, CB_SETCURSEL, index, 0); }
    // A drop handle as the shell makes it: DROPFILES, then the names, then an empty name.
    HDROP Drop(const Lines& names) {
        std::string block;
        for (const std::string& name : names) {
            block += T(name) + '\0';
        }
        block += '\0';
        HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + block.size());
        DROPFILES* files = (DROPFILES*)GlobalLock(drop);
        files->pFiles = sizeof(DROPFILES);
        memcpy((char*)files + sizeof(DROPFILES), block.data(), block.size());
        GlobalUnlock(drop);
        return (HDROP)drop;
    }
    // Drops names and checks that the job released the handle.
    void RunDrop(const Lines& names) {
        HDROP drop = Drop(names);
        RunDropJob(wnd_, drop);
        EXPECT_EQ(GMEM_INVALID_HANDLE, GlobalFlags(drop)) << "drop handle released";
    }
    HWND wnd_ = NULL;
};

TEST_F(DropTest, OptionsComeFromTheControlsAsTheyStand) {
    struct {
        int format, level, method;
        bool encrypt;
        const char* command;
    } cases[] = {
        {0, 0, 2, false, "a -tzip -mx=0 -r0 \"%T\\n.zip\" \"%T\\n.txt\" \"%T\\a.zip\""},
        {0, 2, 1, true,
         "a -tzip -p -mem=AES128 -mx=3 -r0 \"%T\\n.zip\" \"%T\\n.txt\" \"%T\\a.zip\""},
        {0, 5, 2, true,
         "a -tzip -p -mem=AES256 -mx=9 -r0 \"%T\\n.zip\" \"%T\\n.txt\" \"%T\\a.zip\""},
        {0, 1, 0, true,
         "a -tzip -p -mem=ZipCrypto -mx=1 -r0 \"%T\\n.zip\" \"%T\\n.txt\" \"%T\\a.zip\""},
        {1, 3, 0, true,
         "a -t7z -p -mhe=on -mx=5 -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\" \"%T\\n.txt\" \"%T\\a.zip\""},
        {1, 4, -1, false,
         "a -t7z -mhe=off -mx=7 -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\" \"%T\\n.txt\" \"%T\\a.zip\""},
        {1, -1, 0, false,
         "a -t7z -mhe=off  -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\" \"%T\\n.txt\" \"%T\\a.zip\""},
        {-1, 3, 0, false, NULL},
        {0, 3, -1, true, NULL},
    };
    Make("n.txt");
    Make("a.zip");
    Check(IDC_COMP_SAMEPLACE, true);
    Check(IDC_DECOMP_ALL, true); // the settings record says otherwise
    for (auto& c : cases) {
        SCOPED_TRACE(c.command ? c.command : "no value");
        Script("");
        Select(IDC_COMP_FORMAT, c.format);
        Select(IDC_COMP_LEVEL, c.level);
        Select(IDC_COMP_ENC_METHOD, c.method);
        Check(IDC_COMP_ENCRYPT, c.encrypt);
        RunDrop({"%T\\n.txt", "%T\\a.zip"});
        EXPECT_EQ(c.command ? Lines({c.command}) : Lines(), Commands());
        for (const std::string& owner : CommandOwners()) {
            EXPECT_EQ(HwndText(wnd_), owner);
        }
    }
}

TEST_F(DropTest, ExtractionReadsTheFolderBoxesPerArchive) {
    Make("a.zip");
    Make("b.zip");
    Check(IDC_DECOMP_SAMEPLACE, true);
    Check(IDC_DECOMP_ALL, true);
    Check(IDC_DECOMP_DIR, true);
    Check(IDC_DECOMP_OPEN, true);
    Script("[fake]\nresults=0,0x8102\n");
    RunDrop({"%T\\a.zip", "%T\\b.zip"});
    EXPECT_EQ(Lines({"x \"%T\\a.zip\" -o\"%T\\a\"", "x \"%T\\b.zip\" -o\"%T\\b\""}), Commands());
    EXPECT_EQ(Lines({HwndText(wnd_) + "|open|%T\\a\\|(null)|(null)|1"}), g_opens);
    Check(IDC_DECOMP_ALL, false);
    Check(IDC_COMP_DESKTOP, true);
    Select(IDC_COMP_FORMAT, 1);
    Script("");
    RunDrop({"%T\\a.zip", "%T\\b.zip"}); // to the desktop, so nothing is opened
    EXPECT_EQ(1u, Commands().size());
    DeleteFileA((GetDesktopFolder() + std::string("\\a.7z")).c_str());
}

TEST_F(DropTest, RefusedDropsStillReleaseTheHandle) {
    struct {
        const char* script;
        Lines names;
        const char* message;
        size_t calls;
    } cases[] = {
        {"[fake]\nrunning=1\n", {"%T\\n.txt"}, MSG_BUSY, 1},
        {"", {"%T\\n.txt", "C:\\" + std::string(MAX_PATH - 2, 'l')}, MSG_PATH_TOO_LONG, 1},
    };
    size_t seen = 0;
    for (auto& c : cases) {
        Script(c.script);
        RunDrop(c.names);
        EXPECT_EQ(c.calls, Calls().size());
        if (c.message) {
            ASSERT_EQ(++seen, watcher_->Seen().size());
            EXPECT_EQ(c.message, watcher_->Seen().back().text);
            EXPECT_EQ(wnd_, watcher_->Seen().back().owner);
        }
    }
    EXPECT_EQ(seen, watcher_->Seen().size());
}

TEST_F(DropTest, BrowserIsOwnedByTheWindow) {
    Make("n.txt");
    Make("out\\");
    Check(IDC_COMP_DECIDE, true);
    Select(IDC_COMP_FORMAT, 1);
    BrowserDriver driver(PICK_PATH, T("%T\\out"));
    RunDrop({"%T\\n.txt"});
    EXPECT_EQ(wnd_, driver.owner());
    EXPECT_EQ(Lines({"a -t7z -mhe=off  -ms=off -m0=LZMA2 -r0 \"%T\\out\\n.7z\" \"%T\\n.txt\""}),
              Commands());
}

} // namespace
