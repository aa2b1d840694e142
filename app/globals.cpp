#include "settings/ini.h"
#include "archiver/sevenzip.h"

// Order matters: the settings are read before the library is bound, and the
// library is released before the settings record goes.
CINI g_ini;
C7ZIP g_7zip;
