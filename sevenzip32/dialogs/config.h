// The library's configuration dialog: its version and the engine it uses.
#pragma once
#include <windows.h>

// Shows the version and the engine found (path and banner), owned by owner.
void SzShowConfig(HWND owner, WORD version);
