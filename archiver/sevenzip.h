// Run-time binding to the outside archiver library 7-zip32.dll.
#pragma once
#include <windows.h>

#include "sevenzip32/api.h"

#define SEVENZIP_MIN_VERSION 920

class C7ZIP {
  public:
    C7ZIP();
    virtual ~C7ZIP();

    HMODULE module;
    bool available; // true only when the library loaded and all six were found
#define SEVENZIP_DECLARE_FIELD(result, name, params) name##Fn name;
    SEVENZIP_ENTRY_POINTS(SEVENZIP_DECLARE_FIELD)
#undef SEVENZIP_DECLARE_FIELD
};

// The one binding, built after the settings record.
extern C7ZIP g_7zip;
