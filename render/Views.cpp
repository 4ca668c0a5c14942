#include "render/Views.h"

#include <algorithm>

#include "render/QuadTexture.h"

namespace {
bool ClipViewport(PixelRect area, PixelSize target, D3DVIEWPORT9& viewport) {
  const int64_t left = std::max<int64_t>(area.x, 0), top = std::max<int64_t>(area.y, 0);
  const int64_t right = std::min<int64_t>(int64_t{area.x} + area.width, target.width);
  const int64_t bottom = std::min<int64_t>(int64_t{area.y} + area.height, target.height);
  viewport = D3DVIEWPORT9{};
  if (right <= left || bottom <= top) return false;
  viewport.X = static_cast<DWORD>(left);
  viewport.Y = static_cast<DWORD>(top);
  viewport.Width = static_cast<DWORD>(right - left);
  viewport.Height = static_cast<DWORD>(bottom - top);
  viewport.MinZ = 0.0f;
  viewport.MaxZ = 0.0f;
  return true;
}

PixelSize ContentOf(const QuadTexture* texture) {
  if (!texture) return {};
  return {static_cast<int32_t>(texture->contentWidth()), static_cast<int32_t>(texture->contentHeight())};
}
}  // namespace

std::vector<ViewRecord> BuildViews(const std::vector<MonitorRecord>& monitors, PixelSize picture, int32_t magType,
                                   const std::vector<QuadTexture*>& backgrounds, RenderState backgroundState,
                                   PixelSize renderTarget) {
  std::vector<PixelRect> monitorRects;
  monitorRects.reserve(monitors.size());
  for (const MonitorRecord& m : monitors) monitorRects.push_back(m.rect());

  std::vector<ViewRecord> views;
  const std::vector<PixelRect> areas = ViewAreas(monitorRects, magType);
  views.reserve(areas.size());
  for (size_t i = 0; i < areas.size(); ++i) {
    ViewRecord view;
    if (backgrounds.size() == 1) {
      view.background = backgrounds[0];
    } else if (i < backgrounds.size()) {
      view.background = backgrounds[i];
    }
    view.backgroundState = backgroundState;
    view.geometry = ComputeViewGeometry(areas[i], picture, magType, ContentOf(view.background));
    view.visible = ClipViewport(areas[i], renderTarget, view.viewport);
    views.push_back(view);
  }
  return views;
}
