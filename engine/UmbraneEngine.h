#pragma once
// The object that plays the silhouette animation into one window. A host creates one per window,
// calls Startup once, and deletes it when the window is destroyed.
#include <windows.h>
#include <d3d9.h>
#include <ddraw.h>
#include <wrl/client.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/DisplayPower.h"
#include "engine/LayeredPresenter.h"
#include "engine/PlaybackStart.h"
#include "engine/PlaybackStatistics.h"
#include "base/ThreadToolkit.h"
#include "base/UmbraneAppBase.h"
#include "base/UniqueHandle.h"
#include "engine/WindowHook.h"
#include "framedata/ImageUnpacker.h"
#include "base/GdiHandles.h"
#include "render/LayoutMonitors.h"

class UmbraneConfig;
class DShowFilterGraph;

class UmbraneEngine : public UmbraneAppBase {
 public:
  UmbraneEngine();
  ~UmbraneEngine() override;

  bool Startup(HWND window, bool previewMode, PlaybackStart start);
  // What StartMessage does: starts the playback thread with the body the settings choose.
  void StartPlayback();

  // A failed start-up's text for the user ("no error." otherwise).
  const std::wstring& errorText() const { return errorText_; }
  // What the playback has done so far (diagnostics, tests, benchmarks).
  const PlaybackStatistics& statistics() const { return statistics_; }

  // Read-only views of the engine's state, for the tests and the benchmarks.
  const UmbraneConfig& config() const { return *config_; }
  const DisplayLayout& layout() const { return layout_; }
  const ImageUnpacker& frameSource() const { return frameSource_; }
  IDirect3D9* direct3d() const { return direct3d_.Get(); }
  IDirect3DDevice9* device() const { return device_.Get(); }
  IDirect3DSurface9* renderTarget() const { return renderTarget_.Get(); }
  IDirectDraw7* directDraw() const { return directDraw_.Get(); }
  DShowFilterGraph* backgroundGraph() const { return backgroundGraph_.get(); }
  DShowFilterGraph* shadowGraph() const { return shadowGraph_.get(); }
  Thread* playbackThread() const { return playbackThread_.get(); }
  LayeredPresenter* layeredPresenter() const { return layeredPresenter_.get(); }
  // The frame playback resumes at after a lost device or a pause.
  int64_t resumePosition() const { return resumePosition_; }
  // The device-recovery timer's id while a lost device waits to be reset, else 0.
  UINT_PTR recoveryTimerId() const { return recoveryTimerId_; }

  // The layered mode's hand-over, for a test or benchmark that plays the playback thread's part:
  // the frame surface under its lock, announced by the event.
  LightWeightMutex& layeredFrameLock() { return frameLock_; }
  IDirect3DSurface9* layeredFrameSurface() const { return frameSurface_.Get(); }
  HANDLE layeredFrameReadyEvent() const { return frameReadyEvent_.get(); }

  // Test seam: the playback started afterwards draws through `wrapper` (which forwards to the
  // engine's device and injects faults) until the next device is made.
  void InterposeDevice(IDirect3DDevice9* wrapper) { device_ = wrapper; }

 private:
  bool InitDevices();
  void ReleaseDevices();
  bool TryResetDevice();
  LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, DefaultProc defaultProc);
  // The displays went off or came back (window thread): the playback thread pauses or resumes.
  void FollowDisplayPower(bool on);
  bool OpenFrameSource();
  // Until the first frame is presented the window shows the desktop as it was captured (each
  // monitor at its place) instead of the black of an empty window, from the moment the start-up
  // has opened the frame file (a window the host has not shown yet is shown then); not in the
  // preview pane or the layered window, which show what lies behind them, nor after a failed
  // start-up.
  bool ShowsCapturedDesktop() const;
  LRESULT PaintCapturedDesktop(UINT message, WPARAM wParam);
  // Stops and deletes the playback thread, if there is one.
  void StopPlayback();

  // The playback thread's bodies (PlaybackModes.h) are handed the members they use.
  HWND hwnd_ = nullptr;
  bool preview_ = false;
  bool layered_ = false;
  LightWeightMutex frameLock_;
  UniqueHandle frameReadyEvent_;
  // Layered mode only: the window thread's side of the presentation.
  std::unique_ptr<LayeredPresenter> layeredPresenter_;
  std::unique_ptr<UmbraneConfig> config_;
  Microsoft::WRL::ComPtr<IDirect3D9> direct3d_;
  Microsoft::WRL::ComPtr<IDirect3DDevice9> device_;
  Microsoft::WRL::ComPtr<IDirect3DSurface9> renderTarget_;
  D3DPRESENT_PARAMETERS presentParameters_{};
  Microsoft::WRL::ComPtr<IDirect3DSurface9> frameSurface_;
  Microsoft::WRL::ComPtr<IDirectDraw7> directDraw_;
  std::unique_ptr<Thread> playbackThread_;
  DisplayLayout layout_;
  int64_t resumePosition_ = 0;
  ImageUnpacker frameSource_;
  std::unique_ptr<DShowFilterGraph> shadowGraph_;
  std::unique_ptr<DShowFilterGraph> backgroundGraph_;
  UINT_PTR recoveryTimerId_ = 0;
  std::wstring errorText_;
  // The displays' power state, told by the window thread to every playback thread: exactly one of
  // the two manual-reset events is set (on at first).
  bool displayOn_ = true;
  UniqueHandle displayOffEvent_;
  UniqueHandle displayOnEvent_;
  PowerNotification displayNotification_;
  PlaybackStatistics statistics_;
  bool showsCapture_ = false;
};
