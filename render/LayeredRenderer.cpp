#include "render/LayeredRenderer.h"

#include <algorithm>

#include "base/FatalCheck.h"
#include "render/SolidColourTexture.h"

namespace {
// Windows hit-tests a layered window by its alpha: input over a pixel of alpha 0 goes to the window
// beneath, and would neither end the saver nor stay out of the program under it. The least alpha
// (1/255) keeps every pixel the window's while the eye cannot tell it from nothing.
constexpr BYTE kLeastCoverage = 1;

void SetDirectly(IDirect3DDevice9* device, D3DRENDERSTATETYPE state, DWORD value) {
  CheckDraw(device->SetRenderState(state, value), "setting a render state of the layered target");
}

void SetSamplerDirectly(IDirect3DDevice9* device, D3DSAMPLERSTATETYPE state, DWORD value) {
  CheckDraw(device->SetSamplerState(0, state, value), "setting a sampler state of the layered target");
}

// The part of rect inside the viewport, as a rectangle to clear; false when nothing is left.
bool ClipToViewport(const PixelRect& rect, const D3DVIEWPORT9& viewport, D3DRECT& clipped) {
  clipped.x1 = std::max<LONG>(rect.x, static_cast<LONG>(viewport.X));
  clipped.y1 = std::max<LONG>(rect.y, static_cast<LONG>(viewport.Y));
  clipped.x2 = std::min<LONG>(rect.x + rect.width, static_cast<LONG>(viewport.X + viewport.Width));
  clipped.y2 = std::min<LONG>(rect.y + rect.height, static_cast<LONG>(viewport.Y + viewport.Height));
  return clipped.x2 > clipped.x1 && clipped.y2 > clipped.y1;
}
}  // namespace

LayeredRenderer::LayeredRenderer(IDirect3DDevice9* device) : ShadowScene(device) {}

LayeredRenderer::~LayeredRenderer() = default;

bool LayeredRenderer::BuildResources(const RenderSettings& settings, const DisplayLayout& layout,
                                     PixelSize silhouetteSize, PixelSize targetSize) {
  IDirect3DDevice9* device = Device();
  if (targetSize.width <= 0 || targetSize.height <= 0) return false;
  if (FAILED(device->CreateRenderTarget(static_cast<UINT>(targetSize.width), static_cast<UINT>(targetSize.height),
                                        D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, target_.ReleaseAndGetAddressOf(),
                                        nullptr))) {
    return false;
  }
  CheckDraw(device->SetRenderTarget(0, target_.Get()), "setting the layered target");
  SetDirectly(device, D3DRS_ALPHABLENDENABLE, TRUE);
  SetDirectly(device, D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  SetDirectly(device, D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  SetDirectly(device, D3DRS_CULLMODE, D3DCULL_NONE);
  SetSamplerDirectly(device, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  SetSamplerDirectly(device, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  SetSamplerDirectly(device, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  SetSamplerDirectly(device, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);

  D3DCAPS9 caps{};
  if (FAILED(device->GetDeviceCaps(&caps))) return false;
  coverageAlpha_ = (caps.PrimitiveMiscCaps & D3DPMISCCAPS_SEPARATEALPHABLEND) != 0;
  if (!BuildStateBlocks() || !BuildScene(settings, silhouetteSize)) return false;
  views_ = BuildViews(layout.monitors, PictureSize(layout, silhouetteSize), settings.magType, {}, RenderState::Opaque,
                      targetSize);
  return true;
}

void LayeredRenderer::DrawVeil(const ViewRecord& view) {
  const D3DCOLOR veil =
      D3DCOLOR_ARGB(std::max(OpacityByte(settings().backgroundAlpha), unsigned{kLeastCoverage}), 0, 0, 0);
  // The veil is the lowest layer over a transparent target: filling is the same as laying it over.
  if (settings().confineBgFilterToShadowGraph && !settings().frameEnabled) {
    const ViewGeometry& g = view.geometry;
    D3DRECT picture{};
    if (!ClipToViewport({g.picturePosition.x, g.picturePosition.y, g.picture.width, g.picture.height}, view.viewport,
                        picture)) {
      return;
    }
    CheckDraw(Device()->Clear(1, &picture, D3DCLEAR_TARGET, veil, 1.0f, 0), "veiling the picture");
  } else {
    // The whole target as far as this view reaches: a fill beyond its viewport would wipe out
    // what the other views have drawn.
    CheckDraw(Device()->Clear(0, nullptr, D3DCLEAR_TARGET, veil, 1.0f, 0), "veiling the view");
  }
}

HRESULT LayeredRenderer::DrawLayers() {
  FatalUnless(sceneTexture() != nullptr && target_ != nullptr, "drawing before the resources were built");
  IDirect3DDevice9* device = Device();
  CheckDraw(device->SetRenderTarget(0, target_.Get()), "setting the layered target");
  CheckDraw(device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(kLeastCoverage, 0, 0, 0), 1.0f, 0),
            "clearing the layered target");
  if (FAILED(device->BeginScene())) return S_FALSE;
  CheckDraw(blocks_.Apply(RenderState::Blended), "applying the blending states");
  if (coverageAlpha_) {
    // Alpha is coverage: source + destination x (1 - source alpha), whatever the colour's factors.
    SetDirectly(device, D3DRS_SEPARATEALPHABLENDENABLE, TRUE);
    SetDirectly(device, D3DRS_SRCBLENDALPHA, D3DBLEND_ONE);
    SetDirectly(device, D3DRS_DESTBLENDALPHA, D3DBLEND_INVSRCALPHA);
  }
  for (const ViewRecord& view : views_) {
    if (!view.visible) continue;
    CheckDraw(device->SetViewport(&view.viewport), "setting the view's viewport");
    DrawVeil(view);
    DrawBarsAndScene(view);
  }
  if (FAILED(device->EndScene())) return S_FALSE;
  return S_OK;
}

HRESULT LayeredRenderer::CopyTo(IDirect3DSurface9* frameSurface) {
  const HRESULT hr = Device()->GetRenderTargetData(target_.Get(), frameSurface);
  if (hr == D3DERR_DEVICELOST) return hr;
  CheckDraw(hr, "reading the layered frame back");
  return S_OK;
}
