#pragma once
// What the layout knows about one monitor: where it sits in the window and what it showed when
// the engine started. Plain data, shared by the Windows capture code and the portable tests.
#include <cstdint>
#include <vector>

#include "render/LayoutGeometry.h"

struct MonitorRecord {
  int32_t x = 0;  // top-left corner in the window's client coordinates
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t captureWidth = 0;  // the monitor's own size, also in the preview pane
  int32_t captureHeight = 0;
  int32_t bytesPerPixel = 0;  // of the screen format: 2, 3 or 4
  // captureHeight rows of exactly captureWidth * bytesPerPixel bytes, bottom row first.
  std::vector<uint8_t> pixels;
  // Channel masks of a 16-bit screen format.
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;

  PixelRect rect() const { return {x, y, width, height}; }
};

// The engine's display layout: every monitor kept, and the window's client rectangle. A
// default-constructed layout is empty (no monitors, nothing drawn but the clear colour).
struct DisplayLayout {
  std::vector<MonitorRecord> monitors;
  PixelRect clientRect;
};
