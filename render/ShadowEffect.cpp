#include "render/ShadowEffect.h"

#include <d3dx9effect.h>
#include <wrl/client.h>

#include "base/ComReference.h"
#include "base/LoadedLibrary.h"
#include "render/EffectShaders.h"
#include "render/QuadTexture.h"

namespace {
using CreateEffectFunction = decltype(&D3DXCreateEffect);
using Effect = Microsoft::WRL::ComPtr<ID3DXEffect>;

class D3dxShadowEffect : public ShadowEffect {
 public:
  D3dxShadowEffect(LoadedLibrary library, Effect effect) : library_(std::move(library)), effect_(std::move(effect)) {}

  HRESULT DrawThrough(QuadTexture& frame, float x, float y, float w, float h) const override {
    UINT passes = 0;
    HRESULT hr = effect_->Begin(&passes, 0);  // 0: the effect restores the shaders it set at End
    if (FAILED(hr)) return hr;
    hr = effect_->BeginPass(kEffectPass);
    if (SUCCEEDED(hr)) {
      hr = frame.DrawAt(x, y, w, h);
      const HRESULT ended = effect_->EndPass();
      if (SUCCEEDED(hr)) hr = ended;
    }
    const HRESULT ended = effect_->End();
    return SUCCEEDED(hr) ? ended : hr;
  }
  Way way() const override { return Way::D3dx; }

 private:
  LoadedLibrary library_;  // declared first: the effect's code lives in it, so it goes last
  Effect effect_;
};
}  // namespace

EffectBytes FindEffectResource(HMODULE module) {
  if (!module) module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kEffectResourceId), kEffectResourceType);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return {};
  const void* data = LockResource(loaded);
  if (!data) return {};
  return {static_cast<const uint8_t*>(data), SizeofResource(module, found)};
}

ShadowEffect::~ShadowEffect() = default;

std::unique_ptr<ShadowEffect> ShadowEffect::Create(IDirect3DDevice9* device, uint8_t foregroundAlpha,
                                                   uint8_t backgroundAlpha, HMODULE module) {
  const EffectBytes bytes = FindEffectResource(module);
  if (auto effect = CreateWithD3dx(device, foregroundAlpha, backgroundAlpha, bytes)) return effect;
  return CreateFromShaders(device, foregroundAlpha, backgroundAlpha, bytes);
}

std::unique_ptr<ShadowEffect> ShadowEffect::CreateWithD3dx(IDirect3DDevice9* device, uint8_t foregroundAlpha,
                                                           uint8_t backgroundAlpha, EffectBytes bytes) {
  // Only a whole effect goes to D3DX: Wine's reads past the end of a truncated one.
  if (!FindPassShaders(bytes.data, bytes.size, kEffectTechnique, kEffectPass)) return nullptr;
  LoadedLibrary library(LoadLibraryW(L"D3DX9_42.DLL"));
  if (!library) return nullptr;
  auto create = reinterpret_cast<CreateEffectFunction>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "D3DXCreateEffect")));
  if (!create) return nullptr;

  ID3DXEffect* created = nullptr;
  if (FAILED(
          create(device, bytes.data, static_cast<UINT>(bytes.size), nullptr, nullptr, 0, nullptr, &created, nullptr)) ||
      !created) {
    return nullptr;
  }
  Effect effect = AdoptReference(created);
  if (FAILED(effect->SetTechnique(kEffectTechnique))) return nullptr;
  effect->SetFloat("shadowAlpha", foregroundAlpha / 100.0f);
  if (FAILED(effect->SetFloat("bgAlpha", backgroundAlpha / 100.0f))) return nullptr;
  return std::make_unique<D3dxShadowEffect>(std::move(library), std::move(effect));
}
