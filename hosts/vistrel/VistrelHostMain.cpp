// Vistrel's entry point.
#include <windows.h>

#include "hosts/vistrel/VistrelHost.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return vistrel::RunVistrel(); }
