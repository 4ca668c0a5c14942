#pragma once
// What the layered playback thread draws with: the scene and its bars (ShadowScene) over a veil,
// off-screen into a lockable render target of the window's client size, read back into system
// memory for UpdateLayeredWindow. No desktop lies beneath: what the window manager blends the
// frame over is the live desktop.
//
// UpdateLayeredWindow wants premultiplied colour and, in alpha, how much of the desktop each pixel
// covers. The layers (veil, bars, scene) are therefore stacked with the standard "over" rule:
// colour as each layer's blending gives it, alpha as source + destination x (1 - source alpha).
//
// Order of use: BuildResources, then per frame DrawPackedScene, DrawLayers, CopyTo. Nothing on the
// per-frame path allocates memory.
#include <d3d9.h>
#include <wrl/client.h>

#include "render/ShadowScene.h"

class LayeredRenderer : public ShadowScene {
 public:
  explicit LayeredRenderer(IDirect3DDevice9* device);
  ~LayeredRenderer() override;

  // The lockable A8R8G8B8 target of targetSize (set as render target at once), the render states
  // on the device, the state blocks, the solid-colour and scene textures and the views, which
  // have no backgrounds. Failures of the render states are fatal; any other failure gives false.
  bool BuildResources(const RenderSettings& settings, const DisplayLayout& layout, PixelSize silhouetteSize,
                      PixelSize targetSize);

  // Second pass onto the target: cleared to alpha 1/255, then per view the veil (black at the
  // screen opacity, at least 1/255, over the picture only when the screen is confined to it), the
  // bars and the scene; no pixel ends with alpha 0, so every input over the window is its own. S_FALSE when the scene
  // could not begin or end (skip the frame); other failures fatal.
  HRESULT DrawLayers();

  // The finished frame into frameSurface (system memory, the target's size and format): S_OK or
  // D3DERR_DEVICELOST; any other failure is fatal.
  HRESULT CopyTo(IDirect3DSurface9* frameSurface);

  IDirect3DSurface9* Target() const { return target_.Get(); }
  // Whether alpha is stacked separately from colour; without it alpha blends like colour.
  bool coverageAlpha() const { return coverageAlpha_; }

 private:
  void DrawVeil(const ViewRecord& view);

  Microsoft::WRL::ComPtr<IDirect3DSurface9> target_;
  bool coverageAlpha_ = false;
};
