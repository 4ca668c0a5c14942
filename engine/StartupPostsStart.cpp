#include "engine/RegisteredMessages.h"
#include "engine/StartupCompletion.h"

void CompleteStartup(HWND window) { PostMessageW(window, StartMessage, 0, 0); }
