#include "jobs/messages.h"

#define JOB_MESSAGE_CAPTION "Tessaro 1.1"

void ShowJobMessage(HWND owner, const char* text) {
    MessageBoxA(owner, text, JOB_MESSAGE_CAPTION, MB_OK);
}

bool AskJobQuestion(HWND owner, const char* text) {
    return MessageBoxA(owner, text, JOB_MESSAGE_CAPTION, MB_YESNO | MB_DEFBUTTON1) == IDYES;
}
