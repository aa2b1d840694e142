// Command-line jobs in process against the recording fake library: the
// extract-or-compress rule, both runs, destinations and every refusal.
#include "jobs/compress.h"
#include "jobs/destination.h"
#include "jobs/inputs.h"
#include "jobs/options.h"
#include "jobs/messages.h"
#include "settings/ini.h"
#include "tests/jobs/harness.h"
#include "tests/support/files.h"

using namespace testsupport;
typedef std::vector<std::string> Lines;

namespace {

struct DecisionCase {
    const char* name;
    Lines make;
    const char* script;
    bool extractAll;
    Lines args;
    const char* calls; // every library call in order, as Summary() writes them
};

// The library calls in short: "busy" for the busy test, "?name" for the
// archive check, "#name" for the type, "x name" or "a name" for a run,
// names without the folder; exact commands are checked elsewhere.
std::string Summary(const Lines& calls) {
    std::string summary;
    for (const std::string& call : calls) {
        std::string first = call.substr(call.find('\t') + 1);
        first = first.substr(0, first.find('\t'));
        std::string name = call.substr(0, call.find('\t'));
        std::string path = first.substr(first.find_last_of('\\') + 1);
        if (name == "SevenZipGetRunning") {
            summary += " busy";
        } else if (name == "SevenZipCheckArchive") {
            summary += " ?" + path;
        } else if (name == "SevenZipGetArchiveType") {
            summary += " #" + path;
        } else if (name == "SevenZip") {
            std::string command = call.substr(call.find('\t', 9) + 1);
            std::string last = command.substr(command.find('"') + 1);
            last = last.substr(0, last.find('"'));
            summary += " " + command.substr(0, 1) + " " + last.substr(last.find_last_of('\\') + 1);
        }
    }
    return summary;
}

const DecisionCase kDecisions[] = {
    {"one archive, DECOMP_ALL off",
     {"a.zip"},
     "",
     false,
     {"%T\\a.zip"},
     " busy ?a.zip #a.zip x a.zip"},
    {"one archive, DECOMP_ALL on", {"a.7z"}, "", true, {"%T\\a.7z"}, " busy ?a.7z #a.7z x a.7z"},
    {"two archives, DECOMP_ALL off",
     {"a.zip", "b.7z"},
     "",
     false,
     {"%T\\a.zip", "%T\\b.7z"},
     " busy ?a.zip #a.zip ?b.7z #b.7z a a.7z"},
    {"two archives, DECOMP_ALL on",
     {"a.zip", "b.7z"},
     "",
     true,
     {"%T\\b.7z", "%T\\a.zip"},
     " busy ?b.7z #b.7z ?a.zip #a.zip x b.7z x a.zip"},
    {"duplicates kept",
     {"a.zip"},
     "",
     true,
     {"%T\\a.zip", "%T\\a.zip"},
     " busy ?a.zip #a.zip ?a.zip #a.zip x a.zip x a.zip"},
    {"a file, then an archive",
     {"a.zip", "n.txt"},
     "",
     true,
     {"%T\\n.txt", "%T\\a.zip"},
     " busy ?n.txt ?a.zip #a.zip a n.7z"},
    {"an archive and a folder",
     {"a.zip", "d\\"},
     "",
     true,
     {"%T\\a.zip", "%T\\d"},
     " busy ?a.zip #a.zip ?d a a.7z"},
    {"type code 3",
     {"a.zip"},
     "[type]\n%T\\a.zip=3\n",
     true,
     {"%T\\a.zip"},
     " busy ?a.zip #a.zip a a.7z"},
    {"busy library", {"a.zip"}, "[fake]\nrunning=1\n", true, {"%T\\a.zip"}, " busy"},
    {"no inputs", {}, "", true, {}, " busy"},
};

class DecisionTest : public JobTest, public ::testing::WithParamInterface<DecisionCase> {};

TEST_P(DecisionTest, AsksAboutEveryInputThenExtractsOrCompresses) {
    const DecisionCase& c = GetParam();
    for (const std::string& file : c.make) {
        Make(file);
    }
    Script(c.script);
    g_ini.DECOMP_ALL = c.extractAll;
    RunArgs(c.args);
    EXPECT_EQ(c.calls, Summary(Calls())) << c.name;
    Lines expectedMessages;
    if (strstr(c.script, "running=1") != NULL) {
        expectedMessages.push_back(MSG_BUSY);
    }
    EXPECT_EQ(expectedMessages, Messages());
}

INSTANTIATE_TEST_SUITE_P(Jobs, DecisionTest, ::testing::ValuesIn(kDecisions));

// Extraction with a folder per archive.
struct ExtractCase {
    const char* name;
    Lines make;
    const char* script;
    Lines args;
    Lines commands;
    Lines messages;
    Lines opens;
};

const ExtractCase kExtractions[] = {
    {"folder exists already",
     {"a.zip", "a\\"},
     "",
     {"%T\\a.zip"},
     {"x \"%T\\a.zip\" -o\"%T\\a\""},
     {},
     {"00000000|open|%T\\a\\|(null)|(null)|1"}},
    {"a file in the way",
     {"a.zip", "b.zip", "b"},
     "",
     {"%T\\a.zip", "%T\\b.zip", "%T\\a.zip"},
     {"x \"%T\\a.zip\" -o\"%T\\a\""},
     {MSG_CANNOT_CREATE_FOLDER},
     {"00000000|open|%T\\a\\|(null)|(null)|1"}},
    {"failure on the second of three",
     {"a.zip", "b.7z", "c.zip"},
     "[fake]\nresults=0,0x8102,0\n",
     {"%T\\a.zip", "%T\\b.7z", "%T\\c.zip"},
     {"x \"%T\\a.zip\" -o\"%T\\a\"", "x \"%T\\b.7z\" -o\"%T\\b\"", "x \"%T\\c.zip\" -o\"%T\\c\""},
     {},
     {"00000000|open|%T\\a\\|(null)|(null)|1", "00000000|open|%T\\c\\|(null)|(null)|1"}},
    {"the same base name twice",
     {"a.zip", "a.7z"},
     "",
     {"%T\\a.zip", "%T\\a.7z"},
     {"x \"%T\\a.zip\" -o\"%T\\a\"", "x \"%T\\a.7z\" -o\"%T\\a\""},
     {},
     {"00000000|open|%T\\a\\|(null)|(null)|1", "00000000|open|%T\\a\\|(null)|(null)|1"}},
    {"destination not a directory",
     {},
     "[check]\n%T\\gone\\a.zip=1\n[type]\n%T\\gone\\a.zip=1\n",
     {"%T\\gone\\a.zip"},
     {},
     {MSG_CANNOT_CREATE_FOLDER},
     {}},
    {"backup.2011 and a code page 932 name",
     {"backup.2011.zip", "表.7z"},
     "",
     {"%T\\backup.2011.zip", "%T\\表.7z"},
     {"x \"%T\\backup.2011.zip\" -o\"%T\\backup.2011\"", "x \"%T\\表.7z\" -o\"%T\\表\""},
     {},
     {"00000000|open|%T\\backup.2011\\|(null)|(null)|1", "00000000|open|%T\\表\\|(null)|(null)|1"}},
};

class ExtractTest : public JobTest, public ::testing::WithParamInterface<ExtractCase> {};

TEST_P(ExtractTest, FolderPerArchive) {
    const ExtractCase& c = GetParam();
    for (const std::string& file : c.make) {
        Make(file);
    }
    Script(c.script);
    g_ini.DECOMP_ALL = g_ini.DECOMP_DIR = g_ini.DECOMP_OPEN = true;
    RunArgs(c.args);
    EXPECT_EQ(c.commands, Commands());
    EXPECT_EQ(c.messages, Messages());
    EXPECT_EQ(c.opens, g_opens);
    for (const std::string& command : c.commands) {
        size_t folder = command.find("-o\"") + 3;
        EXPECT_TRUE(DirExists(T(command.substr(folder, command.size() - folder - 1))));
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, ExtractTest, ::testing::ValuesIn(kExtractions));

TEST_F(JobTest, ExtractionWithoutFolderOpensTheDestinationAfterEachSuccess) {
    Make("a.zip");
    Make("b.zip");
    Script("[fake]\nresults=0x8101,0\n");
    g_ini.DECOMP_ALL = g_ini.DECOMP_OPEN = true;
    RunArgs({"%T\\a.zip", "%T\\b.zip"});
    EXPECT_EQ(Lines({"x \"%T\\a.zip\" -o\"%T\"", "x \"%T\\b.zip\" -o\"%T\""}), Commands());
    EXPECT_EQ(Lines({"00000000|open|%T\\|(null)|(null)|1"}), g_opens);
}

// Compression: each format, encryption and method, with the overwrite question.
TEST_F(JobTest, CompressionCommandsFollowTheOptions) {
    struct {
        const char* format;
        const char* level;
        bool encrypt;
        const char* method;
        const char* command; // NULL: nothing runs
    } cases[] = {
        // Stored texts compare exactly; the window's lists cover the rest.
        {"7Z", "LEVEL5", true, "AES128",
         "a -t7z -p -mhe=on -mx=9 -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\" \"%T\\n.txt\""},
        {"ZIP", "level1", false, "", "a -tzip  -r0 \"%T\\n.zip\" \"%T\\n.txt\""},
        {"7Z", "LEVEL9", false, "",
         "a -t7z -mhe=off  -ms=off -m0=LZMA2 -r0 \"%T\\n.7z\" \"%T\\n.txt\""},
        {"RAR", "LEVEL1", false, "ZipCrypto", NULL},
        {"zip", "LEVEL1", false, "ZipCrypto", NULL},
        {"ZIP", "LEVEL1", true, "DES", NULL},
    };
    Make("n.txt");
    for (auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + c.level + " " + c.method);
        Script("");
        strcpy(g_ini.COMP_FORMAT, c.format);
        strcpy(g_ini.COMP_LEVEL, c.level);
        strcpy(g_ini.COMP_ENC_METHOD, c.method);
        g_ini.COMP_ENCRYPT = c.encrypt;
        RunArgs({"%T\\n.txt"});
        EXPECT_EQ(c.command ? Lines({c.command}) : Lines(), Commands());
    }
    EXPECT_TRUE(Messages().empty());
}

struct OverwriteCase {
    const char* name;
    int answer;
    const char* script;
    bool called;
    const char* archiveAfter;
    bool opened;
};

const OverwriteCase kOverwrites[] = {
    {"No", IDNO, "", false, "OLD", false},
    {"Yes and success", IDYES, "[fake]\nwrite_file=%T\\n.zip\nwrite_text=NEW\n", true, "NEW", true},
    {"Yes and failure", IDYES, "[fake]\nresults=0x8102\nwrite_file=%T\\n.zip\nwrite_text=PART\n",
     true, "OLD", false},
};

class OverwriteTest : public JobTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, ReplacesOrKeepsTheArchive) {
    const OverwriteCase& c = GetParam();
    Make("n.txt");
    Make("n.zip", "OLD");
    Script(c.script);
    strcpy(g_ini.COMP_FORMAT, "ZIP");
    g_ini.COMP_OPEN = true;
    watcher_->QueueAnswers({c.answer});
    RunArgs({"%T\\n.txt"});
    EXPECT_EQ(c.called ? Lines({"a -tzip -mx=5 -r0 \"%T\\n.zip\" \"%T\\n.txt\""}) : Lines(),
              Commands());
    EXPECT_EQ(Lines({MSG_OVERWRITE}), Messages());
    EXPECT_TRUE(watcher_->Seen()[0].hasYesNo);
    EXPECT_EQ(c.archiveAfter, ReadBytes(T("%T\\n.zip")));
    EXPECT_EQ(c.opened ? Lines({"00000000|open|%T\\|(null)|(null)|1"}) : Lines(), g_opens);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(T("%T\\*").c_str(), &found);
    Lines names;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(Lines({".", "..", "n.txt", "n.zip"}), names) << "nothing left aside";
}

INSTANTIATE_TEST_SUITE_P(Jobs, OverwriteTest, ::testing::ValuesIn(kOverwrites));

TEST_F(JobTest, ArchiveThatCannotBeMovedAsideIsNotOverwritten) {
    Make("n.txt");
    Make("n.7z", "OLD");
    HANDLE held = CreateFileA(T("%T\\n.7z").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    watcher_->QueueAnswers({IDYES});
    RunArgs({"%T\\n.txt"});
    CloseHandle(held);
    EXPECT_EQ(Lines({MSG_OVERWRITE, MSG_CANNOT_OVERWRITE}), Messages());
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ("OLD", ReadBytes(T("%T\\n.7z")));
}

// Refusals: nothing cut, nothing injected, no write into a drive root.
struct RefusalCase {
    const char* name;
    Lines args;
    Lines calls;
    Lines messages;
};

const std::string kLong(MAX_PATH - 3, 'l');

const RefusalCase kRefusals[] = {
    {"argument over 260 bytes",
     {"C:\\" + kLong + "x", "%T\\n.txt"},
     {"SevenZipGetRunning"},
     {MSG_PATH_TOO_LONG}},
    {"argument of 260 bytes whose archive path is longer",
     {"C:\\" + kLong},
     {"SevenZipGetRunning", "SevenZipCheckArchive\tC:\\" + kLong + "\t0"},
     {MSG_PATH_TOO_LONG}},
    {"archive path over 260 bytes",
     {"C:\\d\\" + kLong.substr(2)},
     {"SevenZipGetRunning", "SevenZipCheckArchive\tC:\\d\\" + kLong.substr(2) + "\t0"},
     {MSG_PATH_TOO_LONG}},
    {"directory part over 256 bytes",
     {"C:\\" + kLong.substr(2) + "\\x"},
     {"SevenZipGetRunning", "SevenZipCheckArchive\tC:\\" + kLong.substr(2) + "\\x\t0"},
     {MSG_PATH_TOO_LONG}},
    {"double quote", {"%T\\n.txt", "%T\\a\" -sdel \"b"}, {"SevenZipGetRunning"}, {MSG_BAD_CHAR}},
};

class RefusalTest : public JobTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, EndsTheJobWithAMessage) {
    const RefusalCase& c = GetParam();
    Make("n.txt");
    RunArgs(c.args);
    EXPECT_EQ(c.calls, Calls());
    EXPECT_EQ(c.messages, Messages());
    EXPECT_EQ(NULL, watcher_->Seen()[0].owner);
}

INSTANTIATE_TEST_SUITE_P(Jobs, RefusalTest, ::testing::ValuesIn(kRefusals));

TEST_F(JobTest, BareNameWithLeadingDashLandsBesideItselfAndStaysAName) {
    Make("-sdel.txt");
    RunArgs({"-sdel.txt"});
    EXPECT_EQ(
        Lines({"a -t7z -mhe=off -mx=5 -ms=off -m0=LZMA2 -r0 \"%T\\-sdel.7z\" \".\\-sdel.txt\""}),
        Commands());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(JobTest, PerArchiveFolderTooLongAbortsAtThatArchive) {
    // The first archive's folder (the destination) is deep; the second's
    // folder inside it would pass 260 bytes.
    std::string deep = dir_;
    while (deep.size() < 240) {
        deep += "\\dddddddddd";
        CreateDirectoryA(deep.c_str(), NULL);
    }
    WriteBytes(deep + "\\a.zip", "zip");
    Make("b23456789012345678901.zip");
    g_ini.DECOMP_ALL = g_ini.DECOMP_DIR = true;
    RunArgs({deep + "\\a.zip", "%T\\b23456789012345678901.zip"});
    EXPECT_EQ(1u, Commands().size());
    EXPECT_EQ(Lines({MSG_CANNOT_CREATE_FOLDER}), Messages());
}

HRESULT WINAPI NoDesktop(HWND, int, LPITEMIDLIST* items) {
    *items = NULL;
    return E_FAIL;
}

TEST_F(JobTest, NoDesktopFolderEndsTheJob) {
    Make("n.txt");
    strcpy(g_ini.COMPESS, "DESKTOP");
    g_folderLocation = NoDesktop;
    RunArgs({"%T\\n.txt"});
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Lines({MSG_NO_DESKTOP}), Messages());
}

TEST_F(JobTest, CommandBufferThatCannotBeHadRunsNothing) {
    // Only the first entry is read before the command buffer is sized.
    PathEntry first = {"C:\\in\\n.txt"};
    for (int count : {10000000, 20000000}) { // 2.6 GB; past the address range
        InputList inputs = {&first, count, count};
        JobOptions options = OptionsFromSettings(&g_ini);
        RunCompression(&inputs, dir_.c_str(), &options, NULL);
    }
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(Messages().empty());
}

} // namespace
