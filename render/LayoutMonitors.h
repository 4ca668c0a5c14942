#pragma once
// The monitors of the desktop and what each showed when the engine started.
#include <windows.h>

#include "render/MonitorRecord.h"

// Reads the window's client rectangle and every monitor (rcMonitor) in enumeration order,
// and captures each. preview keeps only the primary monitor (the first flagged primary, else
// the first), placed at (0, 0) with the window's client size. A failed enumeration gives no
// monitors. GDI failures are fatal. Without captureDesktop the records carry no pixels (the
// layered window shows the live desktop instead).
DisplayLayout LayoutMonitors(HWND window, bool preview, bool captureDesktop = true);

// PreviewScale against the primary screen's width.
PixelSize PreviewScale(PixelSize picture, int32_t previewWidth);
