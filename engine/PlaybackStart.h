#pragma once
// How a successful start-up ends. The screen saver's playback starts when the window's message loop
// dispatches StartMessage, which the start-up posts; the test host posts StartMessage itself once
// its window is shown (and the user confirmed, when asked).
enum class PlaybackStart { Immediately, ByHost };
