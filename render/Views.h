#pragma once
// The views the second pass draws: one per monitor, or one over the whole desktop.
#include <d3d9.h>

#include <vector>

#include "render/LayoutGeometry.h"
#include "render/MonitorRecord.h"
#include "render/RenderStateBlocks.h"

class QuadTexture;

struct ViewRecord {
  ViewGeometry geometry;
  // The area, clipped to the render target: Direct3D refuses a viewport that leaves the
  // target, and since the vertices are pre-transformed the clipped viewport crops the same way.
  D3DVIEWPORT9 viewport{};
  bool visible = false;               // false when the area lies wholly outside the render target
  QuadTexture* background = nullptr;  // owned by the renderer or the background graph
  RenderState backgroundState = RenderState::Opaque;
};

// backgrounds holds one texture per view (per monitor, or the composite for modes 4 and 5), or
// a single texture used by every view (the background movie). Its content sizes drive the
// background rectangles.
std::vector<ViewRecord> BuildViews(const std::vector<MonitorRecord>& monitors, PixelSize picture, int32_t magType,
                                   const std::vector<QuadTexture*>& backgrounds, RenderState backgroundState,
                                   PixelSize renderTarget);
