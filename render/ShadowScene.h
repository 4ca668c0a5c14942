#pragma once
// What both outputs draw (the Direct3D window and the layered window): the scene texture, which
// the first pass fills with the white screen and the black shadow at their opacities, and the
// bars; each output lays them over what it has beneath (a desktop capture, a background movie, or
// the live desktop under a layered window).
//
// The packed frames' scene is laid as a premultiplied layer. After the first pass its colour is
// white x (1 - darkness) with alpha = the stacked opacities; it is drawn with the screen opacity as
// the colour's blend factor, so every pixel becomes
//   scene colour x screen opacity + beneath x (1 - scene alpha)
// and soft edges lie on the straight line between the shadow's and the screen's values. (Drawn
// with source alpha instead, every soft-edge pixel would gain g x (1 - g) of white: a light rim.)
// The shadow movie's scene holds the movie's own colour, not premultiplied, with the effect's
// alpha: the same rule for such a colour is source-alpha blending,
//   scene colour x scene alpha + beneath x (1 - scene alpha).
#include <d3d9.h>
#include <wrl/client.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "render/LayoutGeometry.h"
#include "render/MonitorRecord.h"
#include "render/RenderStateBlocks.h"
#include "render/Views.h"

class QuadTexture;
class ShadowEffect;

// The settings the renderers draw by (percentages 0 to 100).
struct RenderSettings {
  uint8_t foregroundAlpha = 100;              // the shadow's opacity
  uint8_t backgroundAlpha = 100;              // the white screen's opacity
  bool frameEnabled = false;                  // bars in the shadow colour
  bool confineBgFilterToShadowGraph = false;  // without bars: the screen covers only the picture
  int32_t magType = MagType::FillMonitor;
  bool preview = false;  // the preview pane: the picture is scaled by PreviewScale
};

class ShadowScene {
 public:
  explicit ShadowScene(IDirect3DDevice9* device);
  virtual ~ShadowScene();
  ShadowScene(const ShadowScene&) = delete;
  ShadowScene& operator=(const ShadowScene&) = delete;

  // Before anything else has changed the device's pixel state. Also reads whether the device can
  // blend by a constant factor; without it the scene is drawn with source alpha.
  bool BuildStateBlocks();

  // First pass, packed frames: the white screen, cut by the mask, plus the silhouette. The
  // caller holds the lock of the thread that writes both textures. Failures are fatal.
  void DrawPackedScene(QuadTexture& silhouette, QuadTexture& mask);
  // First pass, shadow movie: the movie frame stretched over the whole scene (a movie that
  // changes its size keeps filling the picture) through the effect, or opaque without it.
  // Failures are fatal.
  void DrawMovieScene(QuadTexture& movieFrame, const ShadowEffect* effect);

  const std::vector<ViewRecord>& views() const { return views_; }
  IDirect3DSurface9* SceneSurface() const { return sceneSurface_.Get(); }
  const QuadTexture* sceneTexture() const { return scene_.get(); }
  const RenderStateBlocks& stateBlocks() const { return blocks_; }
  bool premultipliedScene() const { return premultipliedScene_; }

 protected:
  // The two solid-colour textures and the scene texture of silhouetteSize. False on any failure.
  bool BuildScene(const RenderSettings& wanted, PixelSize silhouetteSize);
  // The silhouette's size as the views place it: in the preview pane scaled by PreviewScale.
  PixelSize PictureSize(const DisplayLayout& layout, PixelSize silhouetteSize) const;

  // Second-pass layers of one view, with block Blended applied: the bars (shadow colour with the
  // frame, screen colour unless confined, else none), then the scene at the picture rectangle.
  // The device's blend states are left as block Blended has them. Failures are fatal.
  void DrawBarsAndScene(const ViewRecord& view);

  IDirect3DDevice9* Device() const { return device_.Get(); }
  const RenderSettings& settings() const { return settings_; }

  std::vector<ViewRecord> views_;
  RenderStateBlocks blocks_;

 private:
  void BeginScenePass();

  Microsoft::WRL::ComPtr<IDirect3DDevice9> device_;
  RenderSettings settings_;
  std::unique_ptr<QuadTexture> shadowColour_;
  std::unique_ptr<QuadTexture> screenColour_;
  std::unique_ptr<QuadTexture> scene_;
  Microsoft::WRL::ComPtr<IDirect3DSurface9> sceneSurface_;
  bool premultipliedScene_ = false;
  // The last first pass drew the packed frames (premultiplied), not the movie (straight colour).
  bool sceneHoldsPackedFrames_ = false;
};

// texture drawn over r (render-target pixels) with the current states.
HRESULT DrawRect(QuadTexture& texture, const PixelRect& r);
// A drawing call that must not fail: fatal otherwise.
void CheckDraw(HRESULT hr, const char* what);
