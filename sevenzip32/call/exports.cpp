// The six entry points of 7-zip32.dll.
#include <windows.h>

#include "sevenzip32/api.h"
#include "sevenzip32/archive/archtype.h"
#include "sevenzip32/dialogs/config.h"
#include "sevenzip32/call/operation.h"
#include "sevenzip32/engine/result.h"
#include "sevenzip32/base/texts.h"
#include "sevenzip32/base/trace.h"
#include "sevenzip32/dialogs/ui.h"

// This library's own version in hundredths.
#define SZ_LIBRARY_VERSION 2602

// Held during every SevenZip call, so that any process of the session can
// see the library busy.
#define SZ_RUNNING_MUTEX "Local\\7-zip32.dll-SevenZip-running"

static volatile LONG g_busy = 0;

static HANDLE RunningMutex() {
    static HANDLE mutex = NULL;
    if (mutex == NULL) {
        HANDLE created = CreateMutexA(NULL, FALSE, SZ_RUNNING_MUTEX);
        if (InterlockedCompareExchangePointer(&mutex, created, NULL) != NULL && created != NULL) {
            CloseHandle(created);
        }
    }
    return mutex;
}

// Only the first check of a process is traced whole (others only when they
// run something): a drop of many files stays as fast traced as not.
static bool FirstCheck() {
    static LONG checks = 0;
    return InterlockedIncrement(&checks) == 1;
}

extern "C" {

int WINAPI SevenZip(HWND ownerWnd, LPCSTR cmdLine, LPSTR output, DWORD outputSize) {
    if (output != NULL && outputSize > 0) {
        output[0] = '\0';
    }
    // A second call while one runs (a drop meanwhile) finds the library busy.
    if (InterlockedCompareExchange(&g_busy, 1, 0) != 0) {
        return SEVENZIP_ERROR_FATAL;
    }
    SzTraceBegin("SevenZip");
    HANDLE mutex = RunningMutex();
    DWORD wait = mutex != NULL ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
    int result;
    if (wait == WAIT_TIMEOUT) {
        SzShowMessage(ownerWnd, SZ_TEXT_BUSY, NULL, MB_OK | MB_ICONERROR);
        result = SEVENZIP_ERROR_FATAL;
    } else {
        result = SzExecute(ownerWnd, cmdLine, output, outputSize);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
            ReleaseMutex(mutex);
        }
    }
    InterlockedExchange(&g_busy, 0);
    SzTraceEnd(result);
    return result;
}

WORD WINAPI SevenZipGetVersion(void) {
    return SZ_LIBRARY_VERSION;
}

BOOL WINAPI SevenZipGetRunning(void) {
    if (g_busy != 0) {
        return TRUE;
    }
    HANDLE mutex = RunningMutex();
    if (mutex == NULL) {
        return FALSE;
    }
    DWORD wait = WaitForSingleObject(mutex, 0);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
        ReleaseMutex(mutex);
        return FALSE;
    }
    return wait == WAIT_TIMEOUT;
}

BOOL WINAPI SevenZipConfigDialog(HWND ownerWnd, LPSTR, int) {
    SzShowConfig(ownerWnd, SZ_LIBRARY_VERSION);
    return TRUE;
}

BOOL WINAPI SevenZipCheckArchive(LPCSTR archivePath, int) {
    SzTraceBegin("SevenZipCheckArchive", FirstCheck());
    int type = SzArchiveType(archivePath);
    SzTraceEnd(type);
    return type != SEVENZIP_TYPE_NONE;
}

int WINAPI SevenZipGetArchiveType(LPCSTR archivePath) {
    SzTraceBegin("SevenZipGetArchiveType", FirstCheck());
    int type = SzArchiveType(archivePath);
    SzTraceEnd(type);
    return type;
}

} // extern "C"

// The six signatures must stay those the program binds to.
#define SZ_CHECK_SIGNATURE(result, name, params) static const name##Fn kCheck##name = name;
SEVENZIP_ENTRY_POINTS(SZ_CHECK_SIGNATURE)
#undef SZ_CHECK_SIGNATURE
