#pragma once
// The real device with a lost-device episode on demand: Present and reading a render target back
// report the device lost, the cooperative level reads lost and then not-reset, and Reset can fail
// once with a chosen error (the invalid-call error, or the device lost again). Presents and
// read-backs can also be held at a gate, so that a test reads what the playback thread drew last
// while it cannot draw anything newer, and a lost answer can wait for a test's condition first. It
// can also claim to lack the constant blend factor and the separate alpha blend, and refuse to
// make pixel shaders, and take no texture wider or taller than a chosen size (as older adapters
// do). Everything else goes to the real device.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>

#include "base/UniqueHandle.h"

#include "ForwardingDevice.h"

class FaultInjectingDevice : public ForwardingDevice {
 public:
  using ForwardingDevice::ForwardingDevice;

  // Starts an episode: Present answers lost until the device has been reset; the cooperative
  // level reads lost for `lostChecks` calls, then not-reset.
  void LoseDevice(int lostChecks, bool failFirstReset) {
    LoseDevice(lostChecks, failFirstReset ? D3DERR_INVALIDCALL : S_OK);
  }
  // The same with the first Reset answering `firstResetFailure` (S_OK: it succeeds).
  void LoseDevice(int lostChecks, HRESULT firstResetFailure) {
    lostChecksLeft = lostChecks;
    nextResetFailure = firstResetFailure;
    lost = true;
  }

  // While closed, every Present and read-back waits (after the device is found not lost) until the
  // gate opens.
  void CloseGate() { ResetEvent(gate.get()); }
  void OpenGate() { SetEvent(gate.get()); }

  HRESULT STDMETHODCALLTYPE Present(const RECT* source, const RECT* dest, HWND window, const RGNDATA* dirty) override {
    if (lost) {
      // A test may hold the lost answer back until other threads are where it wants them.
      if (beforeLostPresent) beforeLostPresent();
      return D3DERR_DEVICELOST;
    }
    ++presentsArrived;
    WaitForSingleObject(gate.get(), INFINITE);
    ++presents;
    return ForwardingDevice::Present(source, dest, window, dirty);
  }

  HRESULT STDMETHODCALLTYPE GetRenderTargetData(IDirect3DSurface9* target, IDirect3DSurface9* destination) override {
    if (lost) return D3DERR_DEVICELOST;
    ++readBacksArrived;
    WaitForSingleObject(gate.get(), INFINITE);
    return ForwardingDevice::GetRenderTargetData(target, destination);
  }

  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* caps) override {
    const HRESULT result = ForwardingDevice::GetDeviceCaps(caps);
    if (SUCCEEDED(result) && hideBlendCaps) {
      caps->SrcBlendCaps &= ~D3DPBLENDCAPS_BLENDFACTOR;
      caps->DestBlendCaps &= ~D3DPBLENDCAPS_BLENDFACTOR;
      caps->PrimitiveMiscCaps &= ~D3DPMISCCAPS_SEPARATEALPHABLEND;
    }
    if (SUCCEEDED(result) && largestTexture != 0) {
      caps->MaxTextureWidth = std::min<DWORD>(caps->MaxTextureWidth, largestTexture);
      caps->MaxTextureHeight = std::min<DWORD>(caps->MaxTextureHeight, largestTexture);
    }
    return result;
  }

  HRESULT STDMETHODCALLTYPE CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                          D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) override {
    if (largestTexture != 0 && (width > largestTexture || height > largestTexture)) {
      ++refusedTextures;
      return D3DERR_INVALIDCALL;
    }
    return ForwardingDevice::CreateTexture(width, height, levels, usage, format, pool, texture, shared);
  }

  HRESULT STDMETHODCALLTYPE CreatePixelShader(const DWORD* byteCode, IDirect3DPixelShader9** shader) override {
    if (refusePixelShaders) return D3DERR_INVALIDCALL;
    return ForwardingDevice::CreatePixelShader(byteCode, shader);
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
    const HRESULT failure = nextResetFailure.exchange(S_OK);
    if (FAILED(failure)) return failure;
    const HRESULT result = ForwardingDevice::Reset(parameters);
    lastResetResult = result;
    if (SUCCEEDED(result)) lost = false;
    return result;
  }

  // Runs on the presenting thread before each lost answer; set it before the device is lost.
  std::function<void()> beforeLostPresent;
  std::atomic<bool> lost{false};
  std::atomic<bool> hideBlendCaps{false};
  std::atomic<bool> refusePixelShaders{false};
  std::atomic<UINT> largestTexture{0};  // 0: the real device's limits
  std::atomic<int> refusedTextures{0};
  std::atomic<int> lostChecksLeft{0};
  std::atomic<HRESULT> nextResetFailure{S_OK};
  UniqueHandle gate{CreateEventW(nullptr, TRUE, TRUE, nullptr)};  // manual reset, open
  std::atomic<int> presentsArrived{0};
  std::atomic<int> presents{0};
  std::atomic<int> readBacksArrived{0};
  std::atomic<int> cooperativeLevelChecks{0};
  std::atomic<int> resets{0};
  std::atomic<HRESULT> lastResetResult{S_OK};  // of the last reset that reached the real device
};
