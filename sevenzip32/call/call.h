// What the units of one SevenZip call share: the call's state, its
// reports, and running the engine for it. Only the call's own units include
// this; the entry points see operation.h.
#pragma once
#include <windows.h>

#include "sevenzip32/api.h"
#include "sevenzip32/base/texts.h"
#include "sevenzip32/call/cmdline.h"
#include "sevenzip32/dialogs/ui.h"
#include "sevenzip32/engine/console.h"
#include "sevenzip32/engine/engine.h"

struct SzCall {
    HWND owner;
    SzEngineInfo engine;
    SzCommand cmd;
    WCHAR password[SZ_PASSWORD_CHARS];
    bool havePassword;
    SzConsole output; // everything the engine printed, for the caller
    bool quit;        // a WM_QUIT arrived while the engine ran
    WPARAM quitCode;
    ULONGLONG listedBytes; // what the archive holds, from its headers or listing
    bool listLater;        // the total comes from a listing beside a long run
    SzPrivate folder;      // the private folder of the call's runs
    SzArgs climbing;       // stored names that lead out, placed inside all the same
};

// SzRunCommand's answer for an extraction or test that stopped at encrypted
// data while the call had no password: ask (SzAskArchivePassword), then run
// again.
// Never returned to the library's callers.
#define SZ_NEEDS_PASSWORD 0x10000

// Links of an extraction: those the engine refused, and those the host walk
// took out of the staging folder to make after placing (path, target pairs).
struct SzLinks {
    SzArgs outside;
    SzArgs failed;
    SzArgs pending;
};

// The engine's text for the caller's output buffer (code page 932, bounded,
// cut at a whole character), legacy names decoded.
void SzCopyOutput(SzCall* call, LPSTR output, DWORD outputSize);

// Adds text to what the caller's output will show.
void SzRecord(SzCall* call, SzConsole* text);

// Every failure the user is told about passes here: text (code page 932)
// says what went wrong, detail (UTF-8) names files or quotes the engine.
void SzReportFailure(SzCall* call, LPCSTR text, LPCSTR detailUtf8);

// The engine's complaint: its error stream, or its output when that was empty.
void SzReportEngineFailure(SzCall* call, SzConsole* errors, SzConsole* output);

// Asks for the call's password (twice when confirm); the dialog's answer.
SzAsk SzAskCallPassword(SzCall* call, bool confirm);

// The result code of a password question that was not answered.
int SzAskResult(SzAsk answer);

// Asks for the password the archive needs (its headers said so, or the
// engine did): SEVENZIP_OK, or the result to return.
int SzAskArchivePassword(SzCall* call);

// Before extracting or testing: learns what the archive holds (from its
// headers, or else its listing) and asks for a password when it needs one;
// SEVENZIP_OK or the result to return.
int SzPrepare(SzCall* call);

// Runs the engine for the command on archive (and outDir) with its names in
// the list file, showing progress; stageHost (host path, or "") is removed
// should the caller end first. links, for an extraction, takes the links the
// engine would not or could not make when they are its only errors.
// SZ_NEEDS_PASSWORD: see above.
int SzRunCommand(SzCall* call, LPCSTR archive, LPCSTR outDir, LPCSTR stageHost, SzLinks* links);

// The host path of a staging folder for the watcher ("" on Windows).
void SzStageHostPath(const SzCall* call, LPCWSTR dir, LPSTR host, int hostBytes);

// Extraction (x, e) and compression (a), each staged.
int SzExtract(SzCall* call);
int SzCompress(SzCall* call);
