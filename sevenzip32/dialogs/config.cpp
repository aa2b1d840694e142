#include "sevenzip32/dialogs/config.h"

#include <strsafe.h>

#include "sevenzip32/engine/locate.h"
#include "sevenzip32/base/texts.h"
#include "sevenzip32/dialogs/ui.h"

void SzShowConfig(HWND owner, WORD version) {
    SzEngineInfo engine;
    char banner[256];
    char text[2048];
    ZeroMemory(banner, sizeof(banner));
    ZeroMemory(text, sizeof(text));
    bool found = SzFindEngine(&engine);
    if (found) {
        SzEngineBanner(&engine, banner, sizeof(banner));
    }
    StringCchPrintfA(text, sizeof(text), SZ_TEXT_CONFIG_FORMAT, version / 100, version % 100,
                     found ? "" : SZ_TEXT_CONFIG_NONE, "");
    // The detail is UTF-8: a host path already is, a Windows path is code
    // page 932 (表 and ソ would come out garbled if passed as they are).
    WCHAR wide[SZ_ENGINE_PATH_BYTES];
    char path[SZ_ENGINE_PATH_BYTES * 3];
    char detail[SZ_ENGINE_PATH_BYTES * 3 + 300];
    ZeroMemory(wide, sizeof(wide));
    ZeroMemory(path, sizeof(path));
    ZeroMemory(detail, sizeof(detail));
    MultiByteToWideChar(engine.wine ? CP_UTF8 : CP_ACP, 0, engine.path, -1, wide,
                        SZ_ENGINE_PATH_BYTES - 1);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, path, sizeof(path) - 1, NULL, NULL);
    if (found) {
        StringCchPrintfA(detail, sizeof(detail), "%s\r\n%s", path, banner);
    }
    SzShowMessage(owner, text, detail, MB_OK | MB_ICONINFORMATION);
}
