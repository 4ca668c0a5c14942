#include "render/LayoutGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

bool IsDesktopMagType(int32_t magType) { return magType == MagType::FillDesktop || magType == MagType::FitDesktop; }

int32_t RoundHalfUp(double value) {
  const double shifted = value + 0.5;
  if (std::isnan(shifted)) return 0;
  constexpr double lowest = std::numeric_limits<int32_t>::min();
  constexpr double highest = std::numeric_limits<int32_t>::max();
  if (shifted <= lowest) return std::numeric_limits<int32_t>::min();
  if (shifted >= highest) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(shifted);  // truncation toward zero
}

namespace {
PixelSize Scale(PixelSize size, double factor) {
  return {RoundHalfUp(size.width * factor), RoundHalfUp(size.height * factor)};
}

// A picture without area cannot be scaled: the ratios would divide by zero.
bool HasArea(PixelSize size) { return size.width > 0 && size.height > 0; }
}  // namespace

PixelSize Magnify(PixelSize target, PixelSize picture, int32_t magType) {
  if (!HasArea(picture)) return picture;
  const double ratioX = static_cast<double>(target.width) / picture.width;
  const double ratioY = static_cast<double>(target.height) / picture.height;
  switch (magType) {
    case MagType::StretchMonitor:
      return target;
    case MagType::FitMonitor:
    case MagType::FitDesktop:
      return Scale(picture, std::min(ratioX, ratioY));
    case MagType::FillMonitor:
    case MagType::FillDesktop:
      return Scale(picture, std::max(ratioX, ratioY));
    default:
      return picture;
  }
}

PixelPoint Centre(PixelSize outer, PixelSize inner, PixelPoint origin) {
  // In 64 bits: the difference of two 32-bit sizes, and the sum with the origin, may not fit 32.
  const auto offset = [](int32_t start, int32_t outerSide, int32_t innerSide) {
    const int64_t gap = int64_t{outerSide} - innerSide;
    const int64_t at = start + int64_t{RoundHalfUp(static_cast<double>(gap) * 0.5)};
    return static_cast<int32_t>(
        std::clamp<int64_t>(at, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  };
  return {offset(origin.x, outer.width, inner.width), offset(origin.y, outer.height, inner.height)};
}

PixelSize PreviewScale(PixelSize picture, int32_t previewWidth, int32_t primaryScreenWidth) {
  if (primaryScreenWidth <= 0) return picture;
  return Scale(picture, static_cast<double>(previewWidth) / primaryScreenWidth);
}

PixelRect FillKeepingAspect(PixelRect area, PixelSize content) {
  if (!HasArea(content)) return {area.x, area.y, 0, 0};
  const double factor =
      std::max(static_cast<double>(area.width) / content.width, static_cast<double>(area.height) / content.height);
  const PixelSize scaled = Scale(content, factor);
  const PixelPoint at = Centre({area.width, area.height}, scaled, {area.x, area.y});
  return {at.x, at.y, scaled.width, scaled.height};
}

std::vector<PixelRect> ViewAreas(const std::vector<PixelRect>& monitors, int32_t magType) {
  if (!IsDesktopMagType(magType) || monitors.empty()) return monitors;
  int64_t left = monitors.front().x, top = monitors.front().y;
  int64_t right = left + monitors.front().width, bottom = top + monitors.front().height;
  for (const PixelRect& m : monitors) {
    left = std::min<int64_t>(left, m.x);
    top = std::min<int64_t>(top, m.y);
    right = std::max<int64_t>(right, int64_t{m.x} + m.width);
    bottom = std::max<int64_t>(bottom, int64_t{m.y} + m.height);
  }
  const auto clamp = [](int64_t side) {
    return static_cast<int32_t>(std::min<int64_t>(side, std::numeric_limits<int32_t>::max()));
  };
  return {PixelRect{0, 0, clamp(right - left), clamp(bottom - top)}};
}

ViewGeometry ComputeViewGeometry(PixelRect area, PixelSize picture, int32_t magType, PixelSize backgroundContent) {
  ViewGeometry view;
  view.area = area;
  const PixelSize areaSize{area.width, area.height};
  view.picture = Magnify(areaSize, picture, magType);
  view.picturePosition = Centre(areaSize, view.picture, {area.x, area.y});
  const PixelPoint& at = view.picturePosition;
  const PixelSize& p = view.picture;
  // Gaps on the left and on the top; a picture that overflows the view leaves none. The right
  // and bottom bars take the same sizes, so with an odd gap they reach one pixel past the view,
  // which the viewport clips.
  const int32_t gapLeft = std::max(at.x - area.x, 0);
  const int32_t gapTop = std::max(at.y - area.y, 0);
  view.bars[LeftBar] = {area.x, area.y, gapLeft, area.height};
  view.bars[RightBar] = {at.x + p.width, area.y, gapLeft, area.height};
  view.bars[TopBar] = {area.x + gapLeft, area.y, p.width, gapTop};
  view.bars[BottomBar] = {area.x + gapLeft, at.y + p.height, p.width, gapTop};
  view.background = FillKeepingAspect(area, backgroundContent);
  return view;
}
