#include "archiver/sevenzip.h"

C7ZIP::C7ZIP() : module(NULL), available(false) {
#define SEVENZIP_CLEAR(result, name, params) name = NULL;
    SEVENZIP_ENTRY_POINTS(SEVENZIP_CLEAR)
#undef SEVENZIP_CLEAR

    // Keep a library planted in the current folder out of the search.
    SetDllDirectoryA("");
    module = LoadLibraryA(SEVENZIP_DLL_NAME);
    if (module == NULL) {
        return;
    }
    bool all = true;
#define SEVENZIP_LOOKUP(result, name, params)                                                      \
    name = reinterpret_cast<name##Fn>(reinterpret_cast<void*>(GetProcAddress(module, #name)));     \
    all = all && name != NULL;
    SEVENZIP_ENTRY_POINTS(SEVENZIP_LOOKUP)
#undef SEVENZIP_LOOKUP
    if (!all) {
        FreeLibrary(module);
        module = NULL;
        // No pointer may outlive the library it points into.
#define SEVENZIP_FORGET(result, name, params) name = NULL;
        SEVENZIP_ENTRY_POINTS(SEVENZIP_FORGET)
#undef SEVENZIP_FORGET
        return;
    }
    available = true;
}

C7ZIP::~C7ZIP() {
    if (module != NULL) {
        FreeLibrary(module);
        module = NULL;
    }
    available = false;
}
