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
  bool InitDevices();
  void ReleaseDevices();
  void StartPlayback();
  bool TryResetDevice();
  LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, DefaultProc defaultProc);

  // The displays went off or came back (window thread): the playback thread pauses or resumes.
  void FollowDisplayPower(bool on);

  // The playback thread's bodies (PlaybackModes.h) are handed the members they use; the layered
  // presentation reads them directly.
  HWND hwnd = nullptr;
  bool preview = false;
  bool layered = false;
  LightWeightMutex frameLock;
  UniqueHandle frameReadyEvent;
  // Layered mode only: the window thread's side of the presentation.
  std::unique_ptr<LayeredPresenter> layeredPresenter;
  std::unique_ptr<UmbraneConfig> config;
  Microsoft::WRL::ComPtr<IDirect3D9> direct3d;
  Microsoft::WRL::ComPtr<IDirect3DDevice9> device;
  Microsoft::WRL::ComPtr<IDirect3DSurface9> renderTarget;
  D3DPRESENT_PARAMETERS presentParameters{};
  Microsoft::WRL::ComPtr<IDirect3DSurface9> frameSurface;
  Microsoft::WRL::ComPtr<IDirectDraw7> directDraw;
  std::unique_ptr<Thread> playbackThread;
  DisplayLayout layout;
  int64_t resumePosition = 0;
  ImageUnpacker frameSource;
  std::unique_ptr<DShowFilterGraph> shadowGraph;
  std::unique_ptr<DShowFilterGraph> backgroundGraph;
  UINT_PTR recoveryTimerId = 0;
  std::wstring errorText;
  // The displays' power state, told by the window thread to every playback thread: exactly one of
  // the two manual-reset events is set (on at first).
  bool displayOn = true;
  UniqueHandle displayOffEvent;
  UniqueHandle displayOnEvent;
  PowerNotification displayNotification;
  // What the playback has done so far (diagnostics, tests).
  PlaybackStatistics statistics;

 private:
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

  bool showsCapture_ = false;
};
