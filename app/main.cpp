#include <windows.h>

// Placeholder until start-up lands.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
