#include "render/ShadowScene.h"

#include "base/FatalCheck.h"
#include "render/LayoutMonitors.h"
#include "render/QuadTexture.h"
#include "render/ShadowEffect.h"
#include "render/SolidColourTexture.h"

namespace {
HRESULT SetBlending(IDirect3DDevice9* device, BOOL enabled, D3DBLEND source, D3DBLEND destination) {
  HRESULT hr = device->SetRenderState(D3DRS_ALPHABLENDENABLE, enabled);
  if (SUCCEEDED(hr)) hr = device->SetRenderState(D3DRS_SRCBLEND, source);
  if (SUCCEEDED(hr)) hr = device->SetRenderState(D3DRS_DESTBLEND, destination);
  return hr;
}

D3DCOLOR WithOpacity(D3DCOLOR rgb, uint8_t percent) {
  return D3DCOLOR((OpacityByte(percent) << 24) | (rgb & 0x00FFFFFFu));
}

// The same byte in all four channels: a blend factor that scales colour (and alpha) alike.
D3DCOLOR UniformFactor(unsigned byte) { return D3DCOLOR(byte * 0x01010101u); }
}  // namespace

HRESULT DrawRect(QuadTexture& texture, const PixelRect& r) {
  return texture.DrawAt(static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
                        static_cast<float>(r.height));
}

void CheckDraw(HRESULT hr, const char* what) { FatalUnless(SUCCEEDED(hr), what); }

ShadowScene::ShadowScene(IDirect3DDevice9* device) : device_(device) {}

ShadowScene::~ShadowScene() = default;

bool ShadowScene::BuildStateBlocks() {
  D3DCAPS9 caps{};
  if (FAILED(device_->GetDeviceCaps(&caps))) return false;
  premultipliedScene_ = (caps.SrcBlendCaps & D3DPBLENDCAPS_BLENDFACTOR) != 0;
  return blocks_.Build(device_.Get());
}

bool ShadowScene::BuildScene(const RenderSettings& wanted, PixelSize silhouetteSize) {
  settings_ = wanted;
  if (!blocks_.built()) return false;
  shadowColour_ = CreateSolidColourTexture(device_.Get(), blocks_, WithOpacity(0x000000, settings_.foregroundAlpha));
  screenColour_ = CreateSolidColourTexture(device_.Get(), blocks_, WithOpacity(0xFFFFFF, settings_.backgroundAlpha));
  if (!shadowColour_ || !screenColour_) return false;
  if (silhouetteSize.width <= 0 || silhouetteSize.height <= 0) return false;
  scene_ = QuadTexture::CreateBlank(device_.Get(), static_cast<UINT>(silhouetteSize.width),
                                    static_cast<UINT>(silhouetteSize.height), D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8);
  return scene_ && SUCCEEDED(scene_->GetLevelSurface(sceneSurface_.ReleaseAndGetAddressOf()));
}

PixelSize ShadowScene::PictureSize(const DisplayLayout& layout, PixelSize silhouetteSize) const {
  if (!settings_.preview || layout.monitors.empty()) return silhouetteSize;
  return PreviewScale(silhouetteSize, layout.monitors.front().width);
}

void ShadowScene::BeginScenePass() {
  FatalUnless(scene_ != nullptr, "drawing before the resources were built");
  CheckDraw(blocks_.Apply(RenderState::Captured), "applying the captured states");
  CheckDraw(device_->SetRenderTarget(0, sceneSurface_.Get()), "setting the scene as target");
  CheckDraw(blocks_.Apply(RenderState::Blended), "applying the blending states");
  CheckDraw(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), "clearing the scene");
  CheckDraw(device_->BeginScene(), "beginning the scene pass");
}

void ShadowScene::DrawPackedScene(QuadTexture& silhouette, QuadTexture& mask) {
  BeginScenePass();
  const PixelRect whole{0, 0, static_cast<int32_t>(scene_->contentWidth()),
                        static_cast<int32_t>(scene_->contentHeight())};
  // The white screen with its opacity, replacing whatever the scene held.
  CheckDraw(SetBlending(device_.Get(), FALSE, D3DBLEND_ONE, D3DBLEND_ZERO), "blend states for the screen");
  CheckDraw(DrawRect(*screenColour_, whole), "drawing the screen");
  // Cut the silhouette out of it: dest * (1 - mask).
  CheckDraw(SetBlending(device_.Get(), TRUE, D3DBLEND_ZERO, D3DBLEND_INVSRCALPHA), "blend states for the mask");
  CheckDraw(DrawRect(mask, whole), "drawing the mask");
  // Add the black shadow: colour stays black, alpha adds up to the shadow opacity.
  CheckDraw(SetBlending(device_.Get(), TRUE, D3DBLEND_ONE, D3DBLEND_ONE), "blend states for the silhouette");
  CheckDraw(DrawRect(silhouette, whole), "drawing the silhouette");
  CheckDraw(device_->EndScene(), "ending the scene pass");
  sceneHoldsPackedFrames_ = true;
}

void ShadowScene::DrawMovieScene(QuadTexture& movieFrame, const ShadowEffect* effect) {
  BeginScenePass();
  const UINT width = scene_->contentWidth(), height = scene_->contentHeight();
  CheckDraw(device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE), "blending off for the movie");
  if (effect) {
    CheckDraw(effect->DrawThrough(movieFrame, 0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)),
              "drawing the movie through the effect");
  } else {
    CheckDraw(DrawRect(movieFrame, {0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)}),
              "drawing the movie");
  }
  CheckDraw(device_->EndScene(), "ending the scene pass");
  sceneHoldsPackedFrames_ = false;
}

void ShadowScene::DrawBarsAndScene(const ViewRecord& view) {
  QuadTexture* bars = nullptr;
  if (settings_.frameEnabled) {
    bars = shadowColour_.get();  // a black frame at the shadow's opacity
  } else if (!settings_.confineBgFilterToShadowGraph) {
    bars = screenColour_.get();  // the white screen extends over the whole view
  }
  if (bars) {
    for (const PixelRect& bar : view.geometry.bars) CheckDraw(DrawRect(*bars, bar), "drawing a bar");
  }

  // The movie's straight colour is laid with block Blended's source alpha as it is.
  const bool premultiplied = premultipliedScene_ && sceneHoldsPackedFrames_;
  if (premultiplied) {
    CheckDraw(device_->SetRenderState(D3DRS_BLENDFACTOR, UniformFactor(OpacityByte(settings_.backgroundAlpha))),
              "the scene's colour factor");
    CheckDraw(device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BLENDFACTOR), "premultiplied blending for the scene");
  }
  const ViewGeometry& g = view.geometry;
  CheckDraw(DrawRect(*scene_, {g.picturePosition.x, g.picturePosition.y, g.picture.width, g.picture.height}),
            "drawing the scene");
  if (premultiplied) {
    CheckDraw(device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA), "source-alpha blending after the scene");
  }
}
