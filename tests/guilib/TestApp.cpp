#include <framework.h>

// The test program's application object: its main window is what a progress
// window without a parent falls back to.
CWinApp g_testApp(L"TMXUI tests");
