#pragma once
// The real device with a lost-device episode on demand: Present reports the device lost, the
// cooperative level reads lost and then not-reset, and Reset can fail once with the invalid-call
// error. Everything else goes to the real device.
#include <atomic>
#include <functional>

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
    if (lost) {
      // A test may hold the lost answer back until other threads are where it wants them.
      if (beforeLostPresent) beforeLostPresent();
      return D3DERR_DEVICELOST;
    }
    ++presents;
    return ForwardingDevice::Present(source, dest, window, dirty);
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
    lastResetResult = result;
    if (SUCCEEDED(result)) lost = false;
    return result;
  }

  // Runs on the presenting thread before each lost answer; set it before the device is lost.
  std::function<void()> beforeLostPresent;
  std::atomic<bool> lost{false};
  std::atomic<int> lostChecksLeft{0};
  std::atomic<bool> failNextReset{false};
  std::atomic<int> presents{0};
  std::atomic<int> cooperativeLevelChecks{0};
  std::atomic<int> resets{0};
  std::atomic<HRESULT> lastResetResult{S_OK};  // of the last reset that reached the real device
};
