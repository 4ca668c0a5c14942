#pragma once
// The six pixel-state blocks every draw of a playback thread goes through.
#include <d3d9.h>
#include <wrl/client.h>

enum class RenderState {
  Captured = 0,          // the device's pixel state when the playback thread started
  Opaque = 1,            // blending off, no filtering: captures drawn pixel for pixel
  Blended = 2,           // source-alpha blending, linear filtering
  BlendedAlternate = 3,  // the same states as Blended
  ColourModulate = 4,    // source colour / zero, no filtering
  OpaqueLinear = 5,      // blending off, linear filtering: background movie
};

class RenderStateBlocks {
 public:
  static constexpr int kCount = 6;

  RenderStateBlocks() = default;
  virtual ~RenderStateBlocks() = default;
  RenderStateBlocks(const RenderStateBlocks&) = delete;
  RenderStateBlocks& operator=(const RenderStateBlocks&) = delete;

  // Captures block 0 from the device as it is now, then builds the others, re-applying block 0
  // before each. Culling is turned off on the device. False on any failure.
  bool Build(IDirect3DDevice9* device);
  HRESULT Apply(RenderState which) const;
  bool built() const { return blocks_[0] != nullptr; }

 private:
  Microsoft::WRL::ComPtr<IDirect3DStateBlock9> blocks_[kCount];
};
