#include "render/PlaybackRenderer.h"

#include <windows.h>

#include <algorithm>

#include "base/FatalCheck.h"
#include "render/QuadTexture.h"

using Microsoft::WRL::ComPtr;

namespace {
// The largest power of two at or below value (0 for 0).
UINT PowerOfTwoAtMost(UINT value) {
  UINT power = 1;
  while (power <= value / 2) power *= 2;
  return value == 0 ? 0 : power;
}

// How much the whole-desktop composite must shrink so that its power-of-two texture stays within
// the device's largest: three 4K monitors side by side would need 16384 texels, which older
// adapters refuse. 1 where it fits; the views magnify the rest.
double CompositeScale(IDirect3DDevice9* device, const PixelRect& client) {
  D3DCAPS9 caps{};
  if (FAILED(device->GetDeviceCaps(&caps))) return 1.0;
  const UINT widest = PowerOfTwoAtMost(caps.MaxTextureWidth), tallest = PowerOfTwoAtMost(caps.MaxTextureHeight);
  double scale = 1.0;
  if (widest > 0 && static_cast<UINT>(client.width) > widest) scale = static_cast<double>(widest) / client.width;
  if (tallest > 0 && static_cast<UINT>(client.height) > tallest) {
    scale = std::min(scale, static_cast<double>(tallest) / client.height);
  }
  return scale;
}

// A size or position of the composite, shrunk by scale, never past the limit the scale was made for.
int32_t Shrink(int32_t value, double scale) { return scale < 1.0 ? static_cast<int32_t>(value * scale) : value; }
}  // namespace

PlaybackRenderer::PlaybackRenderer(IDirect3DDevice9* device, IDirect3DSurface9* backBuffer)
    : ShadowScene(device), backBuffer_(backBuffer) {}

PlaybackRenderer::~PlaybackRenderer() = default;

bool PlaybackRenderer::BuildResources(const RenderSettings& wanted, const DisplayLayout& layout,
                                      PixelSize silhouetteSize, QuadTexture* backgroundVideo) {
  if (!BuildScene(wanted, silhouetteSize)) return false;
  if (!BuildBackgrounds(layout, backgroundVideo)) return false;

  D3DSURFACE_DESC target{};
  if (FAILED(backBuffer_->GetDesc(&target))) return false;
  std::vector<QuadTexture*> backgrounds;
  if (backgroundVideo) {
    backgrounds.push_back(backgroundVideo);
  } else {
    for (const auto& capture : captures_) backgrounds.push_back(capture.get());
  }
  const RenderState backgroundState = backgroundVideo ? RenderState::OpaqueLinear : RenderState::Opaque;
  views_ = BuildViews(layout.monitors, PictureSize(layout, silhouetteSize), settings().magType, backgrounds,
                      backgroundState, {static_cast<int32_t>(target.Width), static_cast<int32_t>(target.Height)});
  return true;
}

bool PlaybackRenderer::BuildBackgrounds(const DisplayLayout& layout, QuadTexture* backgroundVideo) {
  captures_.clear();
  if (backgroundVideo) return true;
  if (IsDesktopMagType(settings().magType)) {
    auto composite = BuildComposite(layout);
    if (!composite) return false;
    captures_.push_back(std::move(composite));
    return true;
  }
  for (const MonitorRecord& monitor : layout.monitors) {
    auto capture = QuadTexture::CreateFromCapture(Device(), monitor);
    if (!capture) return false;
    captures_.push_back(std::move(capture));
  }
  return true;
}

// One texture of the client size (smaller where the device takes no texture that large) with every
// monitor's capture at its monitor rectangle.
std::unique_ptr<QuadTexture> PlaybackRenderer::BuildComposite(const DisplayLayout& layout) {
  const PixelRect& client = layout.clientRect;
  if (client.width <= 0 || client.height <= 0) return nullptr;
  const double scale = CompositeScale(Device(), client);
  const PixelSize size{std::max(1, Shrink(client.width, scale)), std::max(1, Shrink(client.height, scale))};
  auto composite = QuadTexture::CreateBlank(Device(), static_cast<UINT>(size.width), static_cast<UINT>(size.height),
                                            D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  ComPtr<IDirect3DSurface9> target;
  if (!composite || FAILED(composite->GetLevelSurface(target.GetAddressOf()))) return nullptr;
  if (FAILED(Device()->SetRenderTarget(0, target.Get()))) return nullptr;
  if (FAILED(Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0))) return nullptr;
  if (FAILED(blocks_.Apply(RenderState::Opaque)) || FAILED(Device()->BeginScene())) return nullptr;
  HRESULT drawn = S_OK;
  for (const MonitorRecord& monitor : layout.monitors) {
    auto capture = QuadTexture::CreateFromCapture(Device(), monitor);
    if (!capture) {
      drawn = E_FAIL;
      break;
    }
    const PixelRect place = FillKeepingAspect(monitor.rect(), {monitor.captureWidth, monitor.captureHeight});
    drawn = DrawRect(*capture, {Shrink(place.x, scale), Shrink(place.y, scale), Shrink(place.width, scale),
                                Shrink(place.height, scale)});
    if (FAILED(drawn)) break;
  }
  const HRESULT ended = Device()->EndScene();
  if (FAILED(drawn) || FAILED(ended)) return nullptr;
  composite->SetContentSize(static_cast<UINT>(size.width), static_cast<UINT>(size.height));
  return composite;
}

void PlaybackRenderer::ClearBackBuffer() {
  CheckDraw(Device()->SetRenderTarget(0, backBuffer_.Get()), "setting the back buffer");
  CheckDraw(Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 0, 0, 0), 0.0f, 0),
            "clearing the back buffer");
}

HRESULT PlaybackRenderer::DrawViews() {
  FatalUnless(sceneTexture() != nullptr, "drawing before the resources were built");
  CheckDraw(blocks_.Apply(RenderState::Captured), "applying the captured states");
  CheckDraw(Device()->SetRenderTarget(0, backBuffer_.Get()), "setting the back buffer as target");
  if (FAILED(Device()->BeginScene())) return S_FALSE;
  for (const ViewRecord& view : views_) {
    if (!view.visible) continue;
    CheckDraw(blocks_.Apply(view.backgroundState), "applying the background states");
    CheckDraw(Device()->SetViewport(&view.viewport), "setting the view's viewport");
    if (view.background) CheckDraw(DrawRect(*view.background, view.geometry.background), "drawing the background");
    CheckDraw(blocks_.Apply(RenderState::Blended), "applying the blending states");
    CheckDraw(Device()->SetViewport(&view.viewport), "setting the view's viewport");
    DrawBarsAndScene(view);
  }
  if (FAILED(Device()->EndScene())) return S_FALSE;
  return S_OK;
}

HRESULT PlaybackRenderer::Present() {
  const HRESULT hr = Device()->Present(nullptr, nullptr, nullptr, nullptr);
  if (hr == D3DERR_DEVICELOST) return hr;
  CheckDraw(hr, "presenting");
  return S_OK;
}
