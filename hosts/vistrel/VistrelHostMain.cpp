// Vistrel's entry point.
#include <windows.h>

#include "hosts/testbench/TestHost.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return testhost::RunTestHost(); }
