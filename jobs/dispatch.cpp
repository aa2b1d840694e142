#include "jobs/dispatch.h"
#include "archiver/sevenzip.h"
#include "jobs/compress.h"
#include "jobs/extract.h"
#include "jobs/destination.h"
#include "jobs/inputs.h"
#include "jobs/messages.h"
#include "jobs/options.h"
#include "settings/ini.h"
#include <stdlib.h>

bool ClassifyInputs(const InputList* inputs) {
    bool allArchives = true;
    for (int i = 0; i < inputs->count; ++i) {
        const char* path = inputs->entries[i].path;
        if (!g_7zip.SevenZipCheckArchive(path, 0)) {
            allArchives = false;
            continue;
        }
        int type = g_7zip.SevenZipGetArchiveType(path);
        if (type != SEVENZIP_TYPE_ZIP && type != SEVENZIP_TYPE_7Z) {
            allArchives = false;
        }
    }
    return allArchives;
}

// The steps both front ends share once the inputs are read.
static void RunJob(const InputList* inputs, const JobOptions* options, HWND owner) {
    if (inputs->count == 0) {
        return;
    }
    if (AnyInputHasQuote(inputs)) {
        ShowJobMessage(owner, MSG_BAD_CHAR);
        return;
    }
    bool extract =
        ClassifyInputs(inputs) && (inputs->count == 1 || JobFlagOn(options, OPT_DECOMP_ALL));
    char dest[MAX_PATH + 1];
    int kind = options->valueOf(options->context, extract ? OPT_DECOMPESS : OPT_COMPESS);
    if (!ResolveDestination(kind, &inputs->entries[0], owner, dest)) {
        return;
    }
    if (extract) {
        RunExtraction(inputs, dest, options, owner);
    } else {
        RunCompression(inputs, dest, options, owner);
    }
}

static bool LibraryBusy(HWND owner) {
    if (!g_7zip.SevenZipGetRunning()) {
        return false;
    }
    ShowJobMessage(owner, MSG_BUSY);
    return true;
}

// Reads every dropped name, asking its length first so none is ever cut.
static bool ReadDroppedNames(HDROP drop, InputList* inputs) {
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    for (UINT i = 0; i < count; ++i) {
        char name[MAX_PATH + 1];
        ZeroMemory(name, sizeof name);
        if (DragQueryFileA(drop, i, NULL, 0) > MAX_PATH) {
            return false;
        }
        DragQueryFileA(drop, i, name, sizeof name);
        if (!AppendInput(inputs, name)) {
            return false;
        }
    }
    return true;
}

void RunDropJob(HWND mainWnd, HDROP drop, const JobOptions* options) {
    if (LibraryBusy(mainWnd)) {
        DragFinish(drop);
        return;
    }
    InputList inputs;
    InitInputList(&inputs);
    bool complete = ReadDroppedNames(drop, &inputs);
    DragFinish(drop);
    if (complete) {
        RunJob(&inputs, options, mainWnd);
    } else {
        ShowJobMessage(mainWnd, MSG_PATH_TOO_LONG);
    }
    FreeInputList(&inputs);
}

void RunArgumentJob(int argc, char** argv) {
    if (LibraryBusy(NULL)) {
        return;
    }
    InputList inputs;
    InitInputList(&inputs);
    bool complete = true;
    for (int i = 1; i < argc && complete; ++i) {
        complete = AppendInput(&inputs, argv[i]);
    }
    if (complete) {
        JobOptions options = OptionsFromSettings(&g_ini);
        RunJob(&inputs, &options, NULL);
    } else {
        ShowJobMessage(NULL, MSG_PATH_TOO_LONG);
    }
    FreeInputList(&inputs);
}

void RunCommandLineJob() {
    RunArgumentJob(__argc, __argv);
}
