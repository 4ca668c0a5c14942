#pragma once
// The last step of a successful UmbraneEngine::Startup, which the two programs need differently.
// Each program links exactly one definition, so the engine library itself is built once for both:
//   kagemira_startup_posts_start (StartupPostsStart.cpp): the screen saver; playback starts when
//     the window's message loop dispatches StartMessage.
//   kagemira_startup_leaves_start_to_host (StartupLeavesStartToHost.cpp): the test host, which
//     posts StartMessage itself once its window is shown (and the user confirmed, when asked).
// A program that links neither fails to link.
#include <windows.h>

void CompleteStartup(HWND window);
