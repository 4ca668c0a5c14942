#pragma once
// What one playback thread draws with: its state blocks, solid-colour, scene and background
// textures and its views; the two passes of every frame and the present.
//
// Order of use: BuildStateBlocks (before anything else has changed the device's pixel state),
// BuildResources, then per frame DrawPackedScene or DrawMovieScene, DrawViews, Present. Nothing
// on the per-frame path allocates memory or uses a vertex buffer.
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

// The settings the renderer draws by (percentages 0 to 100).
struct RenderSettings {
  uint8_t foregroundAlpha = 100;  // the shadow's opacity
  uint8_t backgroundAlpha = 100;  // the white screen's opacity
  bool frameEnabled = false;      // bars in the shadow colour
  bool confineBgFilterToShadowGraph = false;  // without bars: the screen covers only the picture
  int32_t magType = MagType::FillMonitor;
  bool preview = false;  // the preview pane: the picture is scaled by PreviewScale
};

class PlaybackRenderer {
 public:
  PlaybackRenderer(IDirect3DDevice9* device, IDirect3DSurface9* backBuffer);
  virtual ~PlaybackRenderer();
  PlaybackRenderer(const PlaybackRenderer&) = delete;
  PlaybackRenderer& operator=(const PlaybackRenderer&) = delete;

  bool BuildStateBlocks();

  // Solid-colour textures, backgrounds (backgroundVideo: the background movie's video texture
  // when the movie has video, else null; it must outlive this object), the scene texture of
  // silhouetteSize and the views. False on any failure.
  bool BuildResources(const RenderSettings& settings, const DisplayLayout& layout, PixelSize silhouetteSize,
                      QuadTexture* backgroundVideo);

  // First pass, packed frames: the white screen, cut by the mask, plus the silhouette. The
  // caller holds the lock of the thread that writes both textures. Failures are fatal.
  void DrawPackedScene(QuadTexture& silhouette, QuadTexture& mask);
  // First pass, shadow movie: the movie frame through the effect, or opaque without it.
  // Failures are fatal.
  void DrawMovieScene(QuadTexture& movieFrame, const ShadowEffect* effect);

  // Second pass onto the back buffer: per view the background, the bars and the scene.
  // S_FALSE when the scene could not begin or end (skip the frame); other failures are fatal.
  HRESULT DrawViews();
  // S_OK or D3DERR_DEVICELOST; any other failure is fatal.
  HRESULT Present();

  const std::vector<ViewRecord>& Views() const { return views; }
  IDirect3DSurface9* SceneSurface() const { return sceneSurface.Get(); }
  const QuadTexture* SceneTexture() const { return scene.get(); }
  const RenderStateBlocks& StateBlocks() const { return blocks; }

 private:
  bool BuildBackgrounds(const DisplayLayout& layout, QuadTexture* backgroundVideo);
  std::unique_ptr<QuadTexture> BuildComposite(const DisplayLayout& layout);
  void BeginScenePass();
  void DrawBars(const ViewRecord& view);

  Microsoft::WRL::ComPtr<IDirect3DDevice9> device;
  Microsoft::WRL::ComPtr<IDirect3DSurface9> backBuffer;
  RenderStateBlocks blocks;
  RenderSettings settings;
  std::unique_ptr<QuadTexture> shadowColour;
  std::unique_ptr<QuadTexture> screenColour;
  std::vector<std::unique_ptr<QuadTexture>> captures;  // per monitor, or the one composite
  std::unique_ptr<QuadTexture> scene;
  Microsoft::WRL::ComPtr<IDirect3DSurface9> sceneSurface;
  std::vector<ViewRecord> views;
};
