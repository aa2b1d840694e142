#include "jobs/dispatch.h"

// Placeholder until the archive jobs land.
void RunDropJob(HWND, HDROP drop) { DragFinish(drop); }
void RunCommandLineJob() {}
