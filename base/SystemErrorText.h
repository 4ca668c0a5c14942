#pragma once
// The system's text for a Win32 error code (FormatMessage), without its buffer to free; empty
// when the system has none.
#include <windows.h>

#include <string>

std::wstring SystemErrorText(DWORD error);
