#pragma once
// The desktop as the engine captured it, painted with GDI into the engine's window: what the
// window shows until the first frame is presented.
#include <windows.h>

#include "render/MonitorRecord.h"

// Paints every monitor's capture 1:1 at its place in the window's client area.
void PaintCaptures(HDC target, const DisplayLayout& layout);
