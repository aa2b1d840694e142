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
    char detail[SZ_ENGINE_PATH_BYTES * 3 + 300];
    ZeroMemory(detail, sizeof(detail));
    if (found) {
        StringCchPrintfA(detail, sizeof(detail), "%s\r\n%s", engine.path, banner);
    }
    SzShowMessage(owner, text, detail, MB_OK | MB_ICONINFORMATION);
}
