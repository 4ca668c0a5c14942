#include "render/RenderStateBlocks.h"

#include <utility>

using Microsoft::WRL::ComPtr;

namespace {
struct BlockStates {
  bool blending;
  bool setBlendFactors;
  D3DBLEND source;
  D3DBLEND destination;
  D3DTEXTUREFILTERTYPE filter;
};

constexpr BlockStates kStates[RenderStateBlocks::kCount] = {
    {false, false, D3DBLEND_ONE, D3DBLEND_ZERO, D3DTEXF_NONE},              // 0: not built from these
    {false, false, D3DBLEND_ONE, D3DBLEND_ZERO, D3DTEXF_NONE},              // 1
    {true, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTEXF_LINEAR},  // 2
    {true, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTEXF_LINEAR},  // 3
    {true, true, D3DBLEND_SRCCOLOR, D3DBLEND_ZERO, D3DTEXF_NONE},           // 4
    {false, false, D3DBLEND_ONE, D3DBLEND_ZERO, D3DTEXF_LINEAR},            // 5
};

bool SetStates(IDirect3DDevice9* device, const BlockStates& s) {
  bool ok = SUCCEEDED(device->SetRenderState(D3DRS_ALPHABLENDENABLE, s.blending ? TRUE : FALSE));
  if (s.setBlendFactors) {
    ok &= SUCCEEDED(device->SetRenderState(D3DRS_SRCBLEND, s.source));
    ok &= SUCCEEDED(device->SetRenderState(D3DRS_DESTBLEND, s.destination));
  }
  ok &= SUCCEEDED(device->SetSamplerState(0, D3DSAMP_MAGFILTER, s.filter));
  ok &= SUCCEEDED(device->SetSamplerState(0, D3DSAMP_MINFILTER, s.filter));
  ok &= SUCCEEDED(device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP));
  ok &= SUCCEEDED(device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP));
  // Culling is not part of a pixel-state block; it is simply left off on the device.
  ok &= SUCCEEDED(device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE));
  return ok;
}
}  // namespace

bool RenderStateBlocks::Build(IDirect3DDevice9* device) {
  for (auto& block : blocks_) block.Reset();
  ComPtr<IDirect3DStateBlock9> captured;
  if (FAILED(device->CreateStateBlock(D3DSBT_PIXELSTATE, captured.GetAddressOf()))) return false;
  for (int i = 1; i < kCount; ++i) {
    ComPtr<IDirect3DStateBlock9> block;
    if (FAILED(captured->Apply())) return false;
    if (FAILED(device->CreateStateBlock(D3DSBT_PIXELSTATE, block.GetAddressOf()))) return false;
    if (!SetStates(device, kStates[i])) return false;
    if (FAILED(block->Capture())) return false;
    blocks_[i] = std::move(block);
  }
  blocks_[0] = std::move(captured);
  return true;
}

HRESULT RenderStateBlocks::Apply(RenderState which) const {
  const auto& block = blocks_[static_cast<int>(which)];
  return block ? block->Apply() : E_FAIL;
}
