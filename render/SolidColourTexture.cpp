#include "render/SolidColourTexture.h"

#include <wrl/client.h>

#include "render/QuadTexture.h"
#include "render/RenderStateBlocks.h"

using Microsoft::WRL::ComPtr;

std::unique_ptr<QuadTexture> CreateSolidColourTexture(IDirect3DDevice9* device, const RenderStateBlocks& blocks,
                                                      D3DCOLOR argb) {
  auto solid = QuadTexture::CreateBlank(device, 1, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8);
  auto source = QuadTexture::CreateBlank(device, 1, 1, 0, D3DFMT_A8R8G8B8);
  if (!solid || !source) return nullptr;
  const uint32_t texel = argb;
  if (FAILED(source->FillTexels(&texel))) return nullptr;

  ComPtr<IDirect3DSurface9> target;
  if (FAILED(solid->GetLevelSurface(target.GetAddressOf()))) return nullptr;
  if (FAILED(device->SetRenderTarget(0, target.Get()))) return nullptr;
  if (FAILED(blocks.Apply(RenderState::Opaque))) return nullptr;
  if (FAILED(device->BeginScene())) return nullptr;
  const HRESULT drawn = source->DrawAt(0.0f, 0.0f, 1.0f, 1.0f);
  const HRESULT ended = device->EndScene();
  if (FAILED(drawn) || FAILED(ended)) return nullptr;
  return solid;
}
