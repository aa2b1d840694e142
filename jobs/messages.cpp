#include "jobs/messages.h"

void ShowJobMessage(HWND owner, const char* text) {
    MessageBoxA(owner, text, MESSAGE_CAPTION, MB_OK);
}

bool AskJobQuestion(HWND owner, const char* text) {
    return MessageBoxA(owner, text, MESSAGE_CAPTION, MB_YESNO | MB_DEFBUTTON1) == IDYES;
}
