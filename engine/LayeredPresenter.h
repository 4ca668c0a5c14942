#pragma once
// The window thread's side of the layered-window mode: the window becomes a per-pixel-alpha
// layered window, and every tick of a 1 ms timer of its own hands the newest frame the layered
// loop has read back (if there is one) to the window manager. The frame surface, its lock and its
// event are the engine's, shared with the playback thread; the presenter writes the surface only
// when it makes it anew in Start, before the playback thread runs.
#include <windows.h>
#include <d3d9.h>
#include <wrl/client.h>

#include <memory>

#include "engine/PlaybackStatistics.h"
#include "base/ThreadToolkit.h"
#include "base/GdiHandles.h"

class LayeredPresenter {
 public:
  LayeredPresenter(HWND window, LightWeightMutex& frameLock, HANDLE frameReadyEvent,
                   Microsoft::WRL::ComPtr<IDirect3DSurface9>& frameSurface, PlaybackStatistics& statistics);
  ~LayeredPresenter();
  LayeredPresenter(const LayeredPresenter&) = delete;
  LayeredPresenter& operator=(const LayeredPresenter&) = delete;

  // Makes the window layered, a frame surface of its client size on device, hands the window that
  // empty frame and starts the timer (unless the displays are off). A window that refuses the
  // update gets EndMessage and no timer.
  void Start(IDirect3DDevice9* device, bool displayOn);
  // Nothing new comes while the displays are off: no ticks either. Before Start, nothing.
  void FollowDisplayPower(bool on);
  // A WM_TIMER of this id is the presenter's.
  static bool IsOwnTick(WPARAM timerId);
  // One tick: the newest frame, if the loop announced one since the last tick, to the window; a
  // refused update posts EndMessage.
  void PresentNewest();

  // The frame surface's size, the client size at the last Start.
  const SIZE& size() const { return size_; }
  // Whether the timer runs (tests).
  bool ticking() const { return ticking_; }

 private:
  bool HandToWindow(HDC surfaceDc);
  void RunTimer(bool run);

  HWND window_;
  LightWeightMutex& frameLock_;
  HANDLE frameReadyEvent_;
  Microsoft::WRL::ComPtr<IDirect3DSurface9>& frameSurface_;
  PlaybackStatistics& statistics_;
  POINT origin_{};
  SIZE size_{};
  std::unique_ptr<ScreenDc> screenDc_;  // obtained once for every update
  bool started_ = false;
  bool ticking_ = false;
};
