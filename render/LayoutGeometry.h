#pragma once
// Where the silhouette picture, its bars and the background go inside each view. Pure integer
// geometry in render-target pixels; no operating system involved, so it is tested natively.
#include <cstdint>
#include <vector>

#include "render/MagType.h"

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
};

struct PixelPoint {
  int32_t x = 0;
  int32_t y = 0;
};

struct PixelRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// magType is the setting MagType (settings/MagType.h); any other value behaves as ActualSize.

// Modes 4 and 5 draw one view over the whole desktop instead of one per monitor.
bool IsDesktopMagType(int32_t magType);

// Adds 0.5 and truncates toward zero (-179.5 gives -179). Values beyond the 32-bit range, and
// NaN, are clamped instead of being converted with undefined behaviour.
int32_t RoundHalfUp(double value);

PixelSize Magnify(PixelSize target, PixelSize picture, int32_t magType);
PixelPoint Centre(PixelSize outer, PixelSize inner, PixelPoint origin);

// The preview pane shows the picture at the size it would have on the real screen: scaled by
// preview width / primary screen width. A zero screen width leaves the size unchanged.
PixelSize PreviewScale(PixelSize picture, int32_t previewWidth, int32_t primaryScreenWidth);

// content scaled to fill area keeping its aspect (the excess is cropped), centred in area.
// A capture of the same size as the area lands exactly on it.
PixelRect FillKeepingAspect(PixelRect area, PixelSize content);

enum BarSide { LeftBar = 0, RightBar = 1, TopBar = 2, BottomBar = 3, BarCount = 4 };

struct ViewGeometry {
  PixelRect area;
  PixelRect background;
  PixelSize picture;
  PixelPoint picturePosition;
  PixelRect bars[BarCount];
};

// One area per monitor, or for modes 4 and 5 one area (0, 0, W, H) of the size of the union of
// all monitors. No monitors give no areas.
std::vector<PixelRect> ViewAreas(const std::vector<PixelRect>& monitors, int32_t magType);

ViewGeometry ComputeViewGeometry(PixelRect area, PixelSize picture, int32_t magType, PixelSize backgroundContent);
