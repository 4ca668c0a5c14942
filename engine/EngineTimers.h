#pragma once
// The timers the engine sets on its window, each with an id of its own: setting or killing one must
// never touch another. The hosts' own timers on the same window keep clear of these.
#include <windows.h>

// Tries to reset a lost device once a period until it succeeds.
constexpr UINT_PTR kRecoveryTimerId = 1;
// Hands the layered window its newest frame.
constexpr UINT_PTR kLayeredFrameTimerId = 2;
