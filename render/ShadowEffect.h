#pragma once
// The compiled effect of the shadow movie: alpha = bgAlpha * L + shadowAlpha * (1 - L) with
// L = (2R + 4G + B) / 7, so dark pixels get the shadow opacity and bright ones the screen
// opacity. D3DX is loaded at run time; without it the movie is drawn without the effect.
#include <d3d9.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>

struct ID3DXEffect;
class QuadTexture;

constexpr const wchar_t* kEffectResourceType = L"CFX";
constexpr WORD kEffectResourceId = 116;

class ShadowEffect {
 public:
  // Effect from resource "CFX" 116 of module (null: the program itself) with shadowAlpha =
  // foregroundAlpha / 100 and bgAlpha = backgroundAlpha / 100. Null on any failure.
  static std::unique_ptr<ShadowEffect> Create(IDirect3DDevice9* device, uint8_t foregroundAlpha,
                                              uint8_t backgroundAlpha, HMODULE module = nullptr);
  virtual ~ShadowEffect();
  ShadowEffect(const ShadowEffect&) = delete;
  ShadowEffect& operator=(const ShadowEffect&) = delete;

  // Draws frame at (x, y, w, h) through pass 0 of the technique; the first failing result.
  HRESULT DrawThrough(QuadTexture& frame, float x, float y, float w, float h) const;

 private:
  struct LibraryRelease {
    void operator()(HMODULE library) const { FreeLibrary(library); }
  };
  using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryRelease>;
  struct EffectRelease {
    void operator()(ID3DXEffect* effect) const;
  };
  using Effect = std::unique_ptr<ID3DXEffect, EffectRelease>;

  ShadowEffect(Library library, Effect effect);

  Library library;  // declared first: the effect's code lives in it, so it goes last
  Effect effect;
};
