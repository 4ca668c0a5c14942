#pragma once
// The system's notification of the console display state, as it reaches a window registered for
// it; delivered in-process, since the platform here never sends one.
#include <windows.h>

constexpr DWORD kDisplayOff = 0, kDisplayOn = 1, kDisplayDimmed = 2;

// WM_POWERBROADCAST / PBT_POWERSETTINGCHANGE with a POWERBROADCAST_SETTING of that setting, data
// length and value, sent to the window.
void DeliverDisplayState(HWND window, DWORD value, const GUID& setting = GUID_CONSOLE_DISPLAY_STATE,
                         DWORD length = sizeof(DWORD));
