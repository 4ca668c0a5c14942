#pragma once
// What one playback thread in the Direct3D window draws with: the scene and its bars (ShadowScene),
// the backgrounds (desktop captures or the background movie) and the back buffer; the second pass
// of every frame and the present.
//
// Order of use: BuildStateBlocks (before anything else has changed the device's pixel state),
// BuildResources, then per frame DrawPackedScene or DrawMovieScene, DrawViews, Present. Nothing
// on the per-frame path allocates memory or uses a vertex buffer.
#include <d3d9.h>
#include <wrl/client.h>

#include <memory>
#include <vector>

#include "render/ShadowScene.h"

class PlaybackRenderer : public ShadowScene {
 public:
  PlaybackRenderer(IDirect3DDevice9* device, IDirect3DSurface9* backBuffer);
  ~PlaybackRenderer() override;

  // Solid-colour textures, backgrounds (backgroundVideo: the background movie's video texture
  // when the movie has video, else null; it must outlive this object), the scene texture of
  // silhouetteSize and the views. False on any failure.
  bool BuildResources(const RenderSettings& settings, const DisplayLayout& layout, PixelSize silhouetteSize,
                      QuadTexture* backgroundVideo);

  // The back buffer as render target, cleared to opaque black. Failures are fatal.
  void ClearBackBuffer();

  // Second pass onto the back buffer: per view the background, the bars and the scene.
  // S_FALSE when the scene could not begin or end (skip the frame); other failures are fatal.
  HRESULT DrawViews();
  // S_OK or D3DERR_DEVICELOST; any other failure is fatal.
  HRESULT Present();

 private:
  bool BuildBackgrounds(const DisplayLayout& layout, QuadTexture* backgroundVideo);
  std::unique_ptr<QuadTexture> BuildComposite(const DisplayLayout& layout);

  Microsoft::WRL::ComPtr<IDirect3DSurface9> backBuffer_;
  std::vector<std::unique_ptr<QuadTexture>> captures_;  // per monitor, or the one composite
};
