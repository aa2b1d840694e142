#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return RunTessaro(instance, showCommand);
}
