#include "render/ShadowEffect.h"

#include <d3dx9effect.h>

#include "render/QuadTexture.h"

namespace {
using CreateEffectFunction = decltype(&D3DXCreateEffect);

struct ResourceBytes {
  const void* data = nullptr;
  DWORD size = 0;
};

ResourceBytes FindEffectResource(HMODULE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kEffectResourceId), kEffectResourceType);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return {};
  return {LockResource(loaded), SizeofResource(module, found)};
}
}  // namespace

void ShadowEffect::EffectRelease::operator()(ID3DXEffect* e) const { e->Release(); }

ShadowEffect::ShadowEffect(Library library, Effect effect) : library(std::move(library)), effect(std::move(effect)) {}

ShadowEffect::~ShadowEffect() = default;

std::unique_ptr<ShadowEffect> ShadowEffect::Create(IDirect3DDevice9* device, uint8_t foregroundAlpha,
                                                   uint8_t backgroundAlpha, HMODULE module) {
  if (!module) module = GetModuleHandleW(nullptr);
  const ResourceBytes bytes = FindEffectResource(module);
  if (!bytes.data || bytes.size == 0) return nullptr;

  Library library(LoadLibraryW(L"D3DX9_42.DLL"));
  if (!library) return nullptr;
  auto create = reinterpret_cast<CreateEffectFunction>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "D3DXCreateEffect")));
  if (!create) return nullptr;

  ID3DXEffect* created = nullptr;
  if (FAILED(create(device, bytes.data, bytes.size, nullptr, nullptr, 0, nullptr, &created, nullptr)) || !created) {
    return nullptr;
  }
  Effect effect(created);
  if (FAILED(effect->SetTechnique("AlphaBleend"))) return nullptr;
  effect->SetFloat("shadowAlpha", foregroundAlpha / 100.0f);
  if (FAILED(effect->SetFloat("bgAlpha", backgroundAlpha / 100.0f))) return nullptr;
  return std::unique_ptr<ShadowEffect>(new ShadowEffect(std::move(library), std::move(effect)));
}

HRESULT ShadowEffect::DrawThrough(QuadTexture& frame, float x, float y, float w, float h) const {
  UINT passes = 0;
  HRESULT hr = effect->Begin(&passes, 0);  // 0: the effect restores the shaders it set at End
  if (FAILED(hr)) return hr;
  hr = effect->BeginPass(0);
  if (SUCCEEDED(hr)) {
    hr = frame.DrawAt(x, y, w, h);
    const HRESULT ended = effect->EndPass();
    if (SUCCEEDED(hr)) hr = ended;
  }
  const HRESULT ended = effect->End();
  return SUCCEEDED(hr) ? ended : hr;
}
