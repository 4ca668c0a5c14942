#pragma once
// The real device with a lost-device episode on demand: Present and reading a render target back
// report the device lost, the cooperative level reads lost and then not-reset, and Reset can fail
// once with the invalid-call error. It can also claim to lack the constant blend factor and the
// separate alpha blend. Everything else goes to the real device.
#include <atomic>

#include "ForwardingDevice.h"

class FaultInjectingDevice : public ForwardingDevice {
 public:
  using ForwardingDevice::ForwardingDevice;

  // Starts an episode: Present answers lost until the device has been reset; the cooperative
  // level reads lost for `lostChecks` calls, then not-reset.
  void LoseDevice(int lostChecks, bool failFirstReset) {
    lostChecksLeft = lostChecks;
    failNextReset = failFirstReset;
    lost = true;
  }

  HRESULT STDMETHODCALLTYPE Present(const RECT* source, const RECT* dest, HWND window, const RGNDATA* dirty) override {
    if (lost) return D3DERR_DEVICELOST;
    ++presents;
    return ForwardingDevice::Present(source, dest, window, dirty);
  }

  HRESULT STDMETHODCALLTYPE GetRenderTargetData(IDirect3DSurface9* target, IDirect3DSurface9* destination) override {
    if (lost) return D3DERR_DEVICELOST;
    return ForwardingDevice::GetRenderTargetData(target, destination);
  }

  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* caps) override {
    const HRESULT result = ForwardingDevice::GetDeviceCaps(caps);
    if (SUCCEEDED(result) && hideBlendCaps) {
      caps->SrcBlendCaps &= ~D3DPBLENDCAPS_BLENDFACTOR;
      caps->DestBlendCaps &= ~D3DPBLENDCAPS_BLENDFACTOR;
      caps->PrimitiveMiscCaps &= ~D3DPMISCCAPS_SEPARATEALPHABLEND;
    }
    return result;
  }

  HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override {
    ++cooperativeLevelChecks;
    if (!lost) return ForwardingDevice::TestCooperativeLevel();
    if (lostChecksLeft > 0) {
      --lostChecksLeft;
      return D3DERR_DEVICELOST;
    }
    return D3DERR_DEVICENOTRESET;
  }

  HRESULT STDMETHODCALLTYPE Reset(D3DPRESENT_PARAMETERS* parameters) override {
    ++resets;
    if (failNextReset.exchange(false)) return D3DERR_INVALIDCALL;
    const HRESULT result = ForwardingDevice::Reset(parameters);
    if (SUCCEEDED(result)) lost = false;
    return result;
  }

  std::atomic<bool> lost{false};
  std::atomic<bool> hideBlendCaps{false};
  std::atomic<int> lostChecksLeft{0};
  std::atomic<bool> failNextReset{false};
  std::atomic<int> presents{0};
  std::atomic<int> cooperativeLevelChecks{0};
  std::atomic<int> resets{0};
};
