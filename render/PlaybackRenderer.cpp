#include "render/PlaybackRenderer.h"

#include <windows.h>

#include "base/FatalCheck.h"
#include "render/QuadTexture.h"

using Microsoft::WRL::ComPtr;

PlaybackRenderer::PlaybackRenderer(IDirect3DDevice9* device, IDirect3DSurface9* backBuffer)
    : ShadowScene(device), backBuffer(backBuffer) {}

PlaybackRenderer::~PlaybackRenderer() = default;

bool PlaybackRenderer::BuildResources(const RenderSettings& wanted, const DisplayLayout& layout,
                                      PixelSize silhouetteSize, QuadTexture* backgroundVideo) {
  if (!BuildScene(wanted, silhouetteSize)) return false;
  if (!BuildBackgrounds(layout, backgroundVideo)) return false;

  D3DSURFACE_DESC target{};
  if (FAILED(backBuffer->GetDesc(&target))) return false;
  std::vector<QuadTexture*> backgrounds;
  if (backgroundVideo) {
    backgrounds.push_back(backgroundVideo);
  } else {
    for (const auto& capture : captures) backgrounds.push_back(capture.get());
  }
  const RenderState backgroundState = backgroundVideo ? RenderState::OpaqueLinear : RenderState::Opaque;
  views = BuildViews(layout.monitors, PictureSize(layout, silhouetteSize), Settings().magType, backgrounds,
                     backgroundState, {static_cast<int32_t>(target.Width), static_cast<int32_t>(target.Height)});
  return true;
}

bool PlaybackRenderer::BuildBackgrounds(const DisplayLayout& layout, QuadTexture* backgroundVideo) {
  captures.clear();
  if (backgroundVideo) return true;
  if (IsDesktopMagType(Settings().magType)) {
    auto composite = BuildComposite(layout);
    if (!composite) return false;
    captures.push_back(std::move(composite));
    return true;
  }
  for (const MonitorRecord& monitor : layout.monitors) {
    auto capture = QuadTexture::CreateFromCapture(Device(), monitor);
    if (!capture) return false;
    captures.push_back(std::move(capture));
  }
  return true;
}

// One texture of the client size with every monitor's capture at its monitor rectangle.
std::unique_ptr<QuadTexture> PlaybackRenderer::BuildComposite(const DisplayLayout& layout) {
  const PixelRect& client = layout.clientRect;
  if (client.width <= 0 || client.height <= 0) return nullptr;
  auto composite = QuadTexture::CreateBlank(Device(), static_cast<UINT>(client.width),
                                            static_cast<UINT>(client.height), D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  ComPtr<IDirect3DSurface9> target;
  if (!composite || FAILED(composite->GetLevelSurface(target.GetAddressOf()))) return nullptr;
  if (FAILED(Device()->SetRenderTarget(0, target.Get()))) return nullptr;
  if (FAILED(Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0))) return nullptr;
  if (FAILED(blocks.Apply(RenderState::Opaque)) || FAILED(Device()->BeginScene())) return nullptr;
  HRESULT drawn = S_OK;
  for (const MonitorRecord& monitor : layout.monitors) {
    auto capture = QuadTexture::CreateFromCapture(Device(), monitor);
    if (!capture) {
      drawn = E_FAIL;
      break;
    }
    drawn = DrawRect(*capture, FillKeepingAspect(monitor.Rect(), {monitor.captureWidth, monitor.captureHeight}));
    if (FAILED(drawn)) break;
  }
  const HRESULT ended = Device()->EndScene();
  if (FAILED(drawn) || FAILED(ended)) return nullptr;
  composite->SetContentSize(static_cast<UINT>(client.width), static_cast<UINT>(client.height));
  return composite;
}

void PlaybackRenderer::ClearBackBuffer() {
  CheckDraw(Device()->SetRenderTarget(0, backBuffer.Get()), "setting the back buffer");
  CheckDraw(Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 0, 0, 0), 0.0f, 0), "clearing the back buffer");
}

HRESULT PlaybackRenderer::DrawViews() {
  FatalUnless(SceneTexture() != nullptr, "drawing before the resources were built");
  CheckDraw(blocks.Apply(RenderState::Captured), "applying the captured states");
  CheckDraw(Device()->SetRenderTarget(0, backBuffer.Get()), "setting the back buffer as target");
  if (FAILED(Device()->BeginScene())) return S_FALSE;
  for (const ViewRecord& view : views) {
    if (!view.visible) continue;
    CheckDraw(blocks.Apply(view.backgroundState), "applying the background states");
    CheckDraw(Device()->SetViewport(&view.viewport), "setting the view's viewport");
    if (view.background) CheckDraw(DrawRect(*view.background, view.geometry.background), "drawing the background");
    CheckDraw(blocks.Apply(RenderState::Blended), "applying the blending states");
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
