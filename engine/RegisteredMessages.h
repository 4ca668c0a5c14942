#pragma once
#include <windows.h>

// Window messages the engine's threads and hosts post to the engine's window (wParam 0, lParam 0).
// Registered once when the program loads; both programs use the same strings.
extern const UINT StartMessage;       // start the playback thread
extern const UINT DeviceLostMessage;  // playback ended on a lost device: start the recovery
extern const UINT EndMessage;         // playback cannot go on: close the window
