#pragma once
// The window a benchmark plays the engine into: a topmost black pop-up, as the saver's is.
#include <windows.h>

HWND CreateBenchWindow(const wchar_t* className, int x, int y, int width, int height);
