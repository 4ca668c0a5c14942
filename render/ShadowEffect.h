#pragma once
// The compiled effect of the shadow movie: alpha = bgAlpha * L + shadowAlpha * (1 - L) with
// L = (2R + 4G + B) / 7, so dark pixels get the shadow opacity and bright ones the screen
// opacity; the colour is the texel's own. Two ways of making it, chosen at creation: D3DX
// (D3DX9_42.DLL, loaded at run time) when it loads, else the effect's own vs_2_0 / ps_2_0
// bytecode made into shaders by the device. Without either the movie is drawn without the effect.
#include <d3d9.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

class QuadTexture;

constexpr const wchar_t* kEffectResourceType = L"CFX";
constexpr WORD kEffectResourceId = 116;
// The technique and the pass the movie is drawn through.
constexpr const char* kEffectTechnique = "AlphaBleend";
constexpr uint32_t kEffectPass = 0;

// The compiled effect's bytes as a module holds them.
struct EffectBytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};
// Resource "CFX" 116 of module (null: the program itself); empty when it is missing.
EffectBytes FindEffectResource(HMODULE module = nullptr);

class ShadowEffect {
 public:
  enum class Way { D3dx, DeviceShaders };

  // D3DX first; when the library, its entry point or the effect cannot be had, the device's own
  // shaders. shadowAlpha = foregroundAlpha / 100, bgAlpha = backgroundAlpha / 100. Null when
  // neither way works.
  static std::unique_ptr<ShadowEffect> Create(IDirect3DDevice9* device, uint8_t foregroundAlpha,
                                              uint8_t backgroundAlpha, HMODULE module = nullptr);
  // Each way on its own. Null on any failure.
  static std::unique_ptr<ShadowEffect> CreateWithD3dx(IDirect3DDevice9* device, uint8_t foregroundAlpha,
                                                      uint8_t backgroundAlpha, EffectBytes effect);
  static std::unique_ptr<ShadowEffect> CreateFromShaders(IDirect3DDevice9* device, uint8_t foregroundAlpha,
                                                         uint8_t backgroundAlpha, EffectBytes effect);
  // Whether the device's way can work on adapter 0 of direct3d with the effect of module: its
  // shaders are found and the adapter runs ps_2_0 (vertex processing is in software).
  static bool DeviceShadersPossible(IDirect3D9* direct3d, HMODULE module = nullptr);

  virtual ~ShadowEffect();
  ShadowEffect(const ShadowEffect&) = delete;
  ShadowEffect& operator=(const ShadowEffect&) = delete;

  // Draws frame at (x, y, w, h) through the effect's pass; the first failing result. No shader
  // stays set afterwards.
  virtual HRESULT DrawThrough(QuadTexture& frame, float x, float y, float w, float h) const = 0;
  virtual Way way() const = 0;

 protected:
  ShadowEffect() = default;
};
