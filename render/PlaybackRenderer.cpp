#include "render/PlaybackRenderer.h"

#include <windows.h>

#include "engine/FatalCheck.h"
#include "render/LayoutMonitors.h"
#include "render/QuadTexture.h"
#include "render/ShadowEffect.h"
#include "render/SolidColourTexture.h"

using Microsoft::WRL::ComPtr;

namespace {
void Check(HRESULT hr, const char* what) { FatalUnless(SUCCEEDED(hr), what); }

HRESULT DrawRect(QuadTexture& texture, const PixelRect& r) {
  return texture.DrawAt(static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
                        static_cast<float>(r.height));
}

HRESULT SetBlending(IDirect3DDevice9* device, BOOL enabled, D3DBLEND source, D3DBLEND destination) {
  HRESULT hr = device->SetRenderState(D3DRS_ALPHABLENDENABLE, enabled);
  if (SUCCEEDED(hr)) hr = device->SetRenderState(D3DRS_SRCBLEND, source);
  if (SUCCEEDED(hr)) hr = device->SetRenderState(D3DRS_DESTBLEND, destination);
  return hr;
}

D3DCOLOR WithOpacity(D3DCOLOR rgb, uint8_t percent) {
  return D3DCOLOR((OpacityByte(percent) << 24) | (rgb & 0x00FFFFFFu));
}
}  // namespace

PlaybackRenderer::PlaybackRenderer(IDirect3DDevice9* device, IDirect3DSurface9* backBuffer)
    : device(device), backBuffer(backBuffer) {}

PlaybackRenderer::~PlaybackRenderer() = default;

bool PlaybackRenderer::BuildStateBlocks() { return blocks.Build(device.Get()); }

bool PlaybackRenderer::BuildResources(const RenderSettings& wanted, const DisplayLayout& layout,
                                      PixelSize silhouetteSize, QuadTexture* backgroundVideo) {
  settings = wanted;
  if (!blocks.Built()) return false;
  shadowColour = CreateSolidColourTexture(device.Get(), blocks, WithOpacity(0x000000, settings.foregroundAlpha));
  screenColour = CreateSolidColourTexture(device.Get(), blocks, WithOpacity(0xFFFFFF, settings.backgroundAlpha));
  if (!shadowColour || !screenColour) return false;
  if (!BuildBackgrounds(layout, backgroundVideo)) return false;

  if (silhouetteSize.width <= 0 || silhouetteSize.height <= 0) return false;
  scene = QuadTexture::CreateBlank(device.Get(), static_cast<UINT>(silhouetteSize.width),
                                   static_cast<UINT>(silhouetteSize.height), D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8);
  if (!scene || FAILED(scene->GetLevelSurface(sceneSurface.ReleaseAndGetAddressOf()))) return false;

  PixelSize picture = silhouetteSize;
  if (settings.preview && !layout.monitors.empty()) {
    picture = PreviewScale(picture, layout.monitors.front().width);
  }
  D3DSURFACE_DESC target{};
  if (FAILED(backBuffer->GetDesc(&target))) return false;
  std::vector<QuadTexture*> backgrounds;
  if (backgroundVideo) {
    backgrounds.push_back(backgroundVideo);
  } else {
    for (const auto& capture : captures) backgrounds.push_back(capture.get());
  }
  const RenderState backgroundState = backgroundVideo ? RenderState::OpaqueLinear : RenderState::Opaque;
  views = BuildViews(layout.monitors, picture, settings.magType, backgrounds, backgroundState,
                     {static_cast<int32_t>(target.Width), static_cast<int32_t>(target.Height)});
  return true;
}

bool PlaybackRenderer::BuildBackgrounds(const DisplayLayout& layout, QuadTexture* backgroundVideo) {
  captures.clear();
  if (backgroundVideo) return true;
  if (IsDesktopMagType(settings.magType)) {
    auto composite = BuildComposite(layout);
    if (!composite) return false;
    captures.push_back(std::move(composite));
    return true;
  }
  for (const MonitorRecord& monitor : layout.monitors) {
    auto capture = QuadTexture::CreateFromCapture(device.Get(), monitor);
    if (!capture) return false;
    captures.push_back(std::move(capture));
  }
  return true;
}

// One texture of the client size with every monitor's capture at its monitor rectangle.
std::unique_ptr<QuadTexture> PlaybackRenderer::BuildComposite(const DisplayLayout& layout) {
  const PixelRect& client = layout.clientRect;
  if (client.width <= 0 || client.height <= 0) return nullptr;
  auto composite = QuadTexture::CreateBlank(device.Get(), static_cast<UINT>(client.width),
                                            static_cast<UINT>(client.height), D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  ComPtr<IDirect3DSurface9> target;
  if (!composite || FAILED(composite->GetLevelSurface(target.GetAddressOf()))) return nullptr;
  if (FAILED(device->SetRenderTarget(0, target.Get()))) return nullptr;
  if (FAILED(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0))) return nullptr;
  if (FAILED(blocks.Apply(RenderState::Opaque)) || FAILED(device->BeginScene())) return nullptr;
  HRESULT drawn = S_OK;
  for (const MonitorRecord& monitor : layout.monitors) {
    auto capture = QuadTexture::CreateFromCapture(device.Get(), monitor);
    if (!capture) {
      drawn = E_FAIL;
      break;
    }
    drawn = DrawRect(*capture, FillKeepingAspect(monitor.Rect(), {monitor.captureWidth, monitor.captureHeight}));
    if (FAILED(drawn)) break;
  }
  const HRESULT ended = device->EndScene();
  if (FAILED(drawn) || FAILED(ended)) return nullptr;
  composite->SetContentSize(static_cast<UINT>(client.width), static_cast<UINT>(client.height));
  return composite;
}

void PlaybackRenderer::BeginScenePass() {
  FatalUnless(scene != nullptr, "drawing before the resources were built");
  Check(blocks.Apply(RenderState::Captured), "applying the captured states");
  Check(device->SetRenderTarget(0, sceneSurface.Get()), "setting the scene as target");
  Check(blocks.Apply(RenderState::Blended), "applying the blending states");
  Check(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), "clearing the scene");
  Check(device->BeginScene(), "beginning the scene pass");
}

void PlaybackRenderer::DrawPackedScene(QuadTexture& silhouette, QuadTexture& mask) {
  BeginScenePass();
  const PixelRect whole{0, 0, static_cast<int32_t>(scene->ContentWidth()), static_cast<int32_t>(scene->ContentHeight())};
  // The white screen with its opacity, replacing whatever the scene held.
  Check(SetBlending(device.Get(), FALSE, D3DBLEND_ONE, D3DBLEND_ZERO), "blend states for the screen");
  Check(DrawRect(*screenColour, whole), "drawing the screen");
  // Cut the silhouette out of it: dest * (1 - mask).
  Check(SetBlending(device.Get(), TRUE, D3DBLEND_ZERO, D3DBLEND_INVSRCALPHA), "blend states for the mask");
  Check(DrawRect(mask, whole), "drawing the mask");
  // Add the black shadow: colour stays black, alpha adds up to the shadow opacity.
  Check(SetBlending(device.Get(), TRUE, D3DBLEND_ONE, D3DBLEND_ONE), "blend states for the silhouette");
  Check(DrawRect(silhouette, whole), "drawing the silhouette");
  Check(device->EndScene(), "ending the scene pass");
}

void PlaybackRenderer::DrawMovieScene(QuadTexture& movieFrame, const ShadowEffect* effect) {
  const PixelRect frame{0, 0, static_cast<int32_t>(movieFrame.ContentWidth()),
                        static_cast<int32_t>(movieFrame.ContentHeight())};
  BeginScenePass();
  Check(device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE), "blending off for the movie");
  if (effect) {
    Check(effect->DrawThrough(movieFrame, 0.0f, 0.0f, static_cast<float>(frame.width), static_cast<float>(frame.height)),
          "drawing the movie through the effect");
  } else {
    Check(DrawRect(movieFrame, frame), "drawing the movie");
  }
  Check(device->EndScene(), "ending the scene pass");
}

void PlaybackRenderer::DrawBars(const ViewRecord& view) {
  QuadTexture* bars = nullptr;
  if (settings.frameEnabled) {
    bars = shadowColour.get();  // a black frame at the shadow's opacity
  } else if (!settings.confineBgFilterToShadowGraph) {
    bars = screenColour.get();  // the white screen extends over the whole view
  }
  if (!bars) return;  // the background stays untouched outside the picture
  for (const PixelRect& bar : view.geometry.bars) Check(DrawRect(*bars, bar), "drawing a bar");
}

HRESULT PlaybackRenderer::DrawViews() {
  FatalUnless(scene != nullptr, "drawing before the resources were built");
  Check(blocks.Apply(RenderState::Captured), "applying the captured states");
  Check(device->SetRenderTarget(0, backBuffer.Get()), "setting the back buffer as target");
  if (FAILED(device->BeginScene())) return S_FALSE;
  for (const ViewRecord& view : views) {
    if (!view.visible) continue;
    Check(blocks.Apply(view.backgroundState), "applying the background states");
    Check(device->SetViewport(&view.viewport), "setting the view's viewport");
    if (view.background) Check(DrawRect(*view.background, view.geometry.background), "drawing the background");
    Check(blocks.Apply(RenderState::Blended), "applying the blending states");
    Check(device->SetViewport(&view.viewport), "setting the view's viewport");
    DrawBars(view);
    const ViewGeometry& g = view.geometry;
    Check(DrawRect(*scene, {g.picturePosition.x, g.picturePosition.y, g.picture.width, g.picture.height}),
          "drawing the scene");
  }
  if (FAILED(device->EndScene())) return S_FALSE;
  return S_OK;
}

HRESULT PlaybackRenderer::Present() {
  const HRESULT hr = device->Present(nullptr, nullptr, nullptr, nullptr);
  if (hr == D3DERR_DEVICELOST) return hr;
  Check(hr, "presenting");
  return S_OK;
}
