// The shadow effect without D3DX: the vertex and pixel shader of the effect's pass, made by the
// device from the bytecode in the compiled effect, with the parameters and sampler states the
// effect gives them set by hand.
#include <wrl/client.h>

#include "render/EffectShaders.h"
#include "render/QuadTexture.h"
#include "render/ShadowEffect.h"

using Microsoft::WRL::ComPtr;

namespace {
// Where the pixel shader's constant table puts the two parameters.
constexpr UINT kShadowAlphaRegister = 0;
constexpr UINT kBgAlphaRegister = 1;

std::optional<EffectShaders> ShadersOf(EffectBytes bytes) {
  return FindPassShaders(bytes.data, bytes.size, kEffectTechnique, kEffectPass);
}

class DeviceShaderEffect : public ShadowEffect {
 public:
  DeviceShaderEffect(IDirect3DDevice9* device, ComPtr<IDirect3DVertexShader9> vertexShader,
                     ComPtr<IDirect3DPixelShader9> pixelShader, float shadowAlpha, float bgAlpha)
      : device_(device),
        vertexShader_(std::move(vertexShader)),
        pixelShader_(std::move(pixelShader)),
        shadowAlpha_{shadowAlpha, 0.0f, 0.0f, 0.0f},
        bgAlpha_{bgAlpha, 0.0f, 0.0f, 0.0f} {}

  HRESULT DrawThrough(QuadTexture& frame, float x, float y, float w, float h) const override {
    // The constants and sampler states go with the pixel state, which the scene's state blocks
    // set anew before every pass: they are set for every draw, as the effect's pass does.
    HRESULT hr = device_->SetVertexShader(vertexShader_.Get());
    if (SUCCEEDED(hr)) hr = device_->SetPixelShader(pixelShader_.Get());
    if (SUCCEEDED(hr)) hr = device_->SetPixelShaderConstantF(kShadowAlphaRegister, shadowAlpha_, 1);
    if (SUCCEEDED(hr)) hr = device_->SetPixelShaderConstantF(kBgAlphaRegister, bgAlpha_, 1);
    // Sampler Tex0 of the effect: clamped in u and v, linear magnification and minification.
    if (SUCCEEDED(hr)) hr = device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    if (SUCCEEDED(hr)) hr = device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    if (SUCCEEDED(hr)) hr = device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    if (SUCCEEDED(hr)) hr = device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    if (SUCCEEDED(hr)) hr = frame.DrawAt(x, y, w, h);
    // As the effect's End does: no shader of ours is left for the next pass.
    const HRESULT pixelCleared = device_->SetPixelShader(nullptr);
    const HRESULT vertexCleared = device_->SetVertexShader(nullptr);
    if (FAILED(hr)) return hr;
    return FAILED(pixelCleared) ? pixelCleared : vertexCleared;
  }
  Way way() const override { return Way::DeviceShaders; }

 private:
  ComPtr<IDirect3DDevice9> device_;
  ComPtr<IDirect3DVertexShader9> vertexShader_;
  ComPtr<IDirect3DPixelShader9> pixelShader_;
  float shadowAlpha_[4];
  float bgAlpha_[4];
};
}  // namespace

std::unique_ptr<ShadowEffect> ShadowEffect::CreateFromShaders(IDirect3DDevice9* device, uint8_t foregroundAlpha,
                                                              uint8_t backgroundAlpha, EffectBytes bytes) {
  const std::optional<EffectShaders> shaders = ShadersOf(bytes);
  if (!device || !shaders) return nullptr;
  ComPtr<IDirect3DVertexShader9> vertexShader;
  ComPtr<IDirect3DPixelShader9> pixelShader;
  if (FAILED(device->CreateVertexShader(reinterpret_cast<const DWORD*>(shaders->vertexShader.data()),
                                        vertexShader.GetAddressOf())) ||
      !vertexShader) {
    return nullptr;
  }
  if (FAILED(device->CreatePixelShader(reinterpret_cast<const DWORD*>(shaders->pixelShader.data()),
                                       pixelShader.GetAddressOf())) ||
      !pixelShader) {
    return nullptr;
  }
  return std::make_unique<DeviceShaderEffect>(device, std::move(vertexShader), std::move(pixelShader),
                                              foregroundAlpha / 100.0f, backgroundAlpha / 100.0f);
}

bool ShadowEffect::DeviceShadersPossible(IDirect3D9* direct3d, HMODULE module) {
  const std::optional<EffectShaders> shaders = ShadersOf(FindEffectResource(module));
  D3DCAPS9 caps{};
  if (!direct3d || !shaders || FAILED(direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) return false;
  // Version tokens compare as numbers: the adapter's own against the shader's.
  return caps.PixelShaderVersion >= shaders->pixelShader.front();
}
