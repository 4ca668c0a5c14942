#include "engine/StartupCompletion.h"

// The host posts StartMessage when its window is ready for playback.
void CompleteStartup(HWND) {}
