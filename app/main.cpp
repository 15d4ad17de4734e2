#include <windows.h>

#include "app/launcher.h"

int APIENTRY wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) { return QuelmarchMain(hInstance); }
