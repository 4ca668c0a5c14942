#include "render/Direct3DDevice.h"

#include "base/ComReference.h"
#include "base/FatalCheck.h"

using Microsoft::WRL::ComPtr;

ComPtr<IDirect3D9> CreateDirect3D() { return AdoptReference(Direct3DCreate9(kDirect3DSdkVersion)); }

bool FillPresentParameters(IDirect3D9* d3d, HWND window, D3DPRESENT_PARAMETERS& out) {
  out = D3DPRESENT_PARAMETERS{};
  D3DDISPLAYMODE mode{};
  if (FAILED(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) return false;
  out.BackBufferFormat = mode.Format;
  out.BackBufferCount = 1;
  out.MultiSampleType = D3DMULTISAMPLE_NONE;
  out.SwapEffect = D3DSWAPEFFECT_DISCARD;
  out.hDeviceWindow = window;
  out.Windowed = TRUE;
  out.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
  return true;
}

HRESULT CreatePlaybackDevice(IDirect3D9* d3d, D3DPRESENT_PARAMETERS& params, IDirect3DDevice9** device) {
  return d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, kPlaybackBehaviourFlags, &params, device);
}

bool AcquireRenderTarget(IDirect3DDevice9* device, ComPtr<IDirect3DSurface9>& renderTarget) {
  renderTarget.Reset();
  if (FAILED(device->GetRenderTarget(0, renderTarget.GetAddressOf()))) return false;
  FatalUnless(SUCCEEDED(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0)), "clearing the new render target");
  return true;
}
