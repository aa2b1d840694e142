#include "jobs/messages.h"
#include <strsafe.h>

void ShowJobMessage(HWND owner, const char* text) {
    MessageBoxA(owner, text, MESSAGE_CAPTION, MB_OK);
}

void ShowJobMessageNaming(HWND owner, const char* format, const char* path) {
    char text[MAX_PATH + 256];
    ZeroMemory(text, sizeof text);
    StringCchPrintfA(text, sizeof text, format, path);
    ShowJobMessage(owner, text);
}

bool AskJobQuestion(HWND owner, const char* text) {
    return MessageBoxA(owner, text, MESSAGE_CAPTION, MB_YESNO | MB_DEFBUTTON1) == IDYES;
}
