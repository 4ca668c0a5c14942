#pragma once
// The object that plays the silhouette animation into one window. A host creates one per window,
// calls Startup once, and deletes it when the window is destroyed.
#include <windows.h>
#include <d3d9.h>
#include <ddraw.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/DisplayPower.h"
#include "engine/base/ThreadToolkit.h"
#include "engine/base/UmbraneAppBase.h"
#include "engine/base/UniqueHandle.h"
#include "engine/WindowHook.h"
#include "framedata/ImageUnpacker.h"
#include "render/GdiHandles.h"
#include "render/LayoutMonitors.h"

class UmbraneConfig;
class DShowFilterGraph;

class UmbraneEngine : public UmbraneAppBase {
 public:
  UmbraneEngine();
  ~UmbraneEngine() override;

  bool Startup(HWND window, bool previewMode);
  bool InitDevices();
  void ReleaseDevices();
  void StartPlayback();
  bool TryResetDevice();
  LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, DefaultProc defaultProc);

  // Thread bodies, one per presentation mode; StartPlayback picks one.
  void PlaybackLoop();
  void ShadowMovieLoop();
  void LayeredLoop();

  // Layered-window presentation, on the window thread.
  void StartLayered();
  void PresentLayered();

  // The displays went off or came back (window thread): the playback thread pauses or resumes.
  void FollowDisplayPower(bool on);

  // The members are read directly by the thread bodies and the layered presentation.
  HWND hwnd = nullptr;
  bool preview = false;
  bool layered = false;
  UINT_PTR layeredTimerId = 0;
  LightWeightMutex frameLock;
  UniqueHandle frameReadyEvent;
  POINT layeredOrigin{};
  SIZE layeredSize{};
  std::unique_ptr<ScreenDc> layeredScreenDc;  // obtained once for every layered update
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
  // Diagnostics (and tests): the frame the playback thread drew last (the shadow movie's: its
  // time stamp), how often the animation, the shadow movie or the background media restarted
  // (mediaRestarts: the media ended first and restarted alone; movieRestarts: the movie ended),
  // how many frames were presented and how many of them showed a new background video frame or a
  // new shadow-movie frame, and how many frames the layered window was handed.
  std::atomic<int64_t> lastDrawnFrame{-1};
  std::atomic<int64_t> lastMovieFrameTime{INT64_MIN};
  std::atomic<uint32_t> restarts{0};
  std::atomic<uint32_t> mediaRestarts{0};
  std::atomic<uint32_t> movieRestarts{0};
  std::atomic<uint64_t> framesPresented{0};
  std::atomic<uint64_t> videoFramesDrawn{0};
  std::atomic<uint64_t> movieFramesDrawn{0};
  std::atomic<uint32_t> layeredUpdates{0};
  // How the shadow-movie thread draws the movie: through the effect made by D3DX or by the
  // device from the effect's own shaders, or opaque (neither could be made).
  enum class MovieDrawing { NotYet, D3dxEffect, DeviceShaderEffect, Opaque };
  std::atomic<MovieDrawing> movieDrawing{MovieDrawing::NotYet};
  // The playback thread has stopped drawing and decoding while the displays are off; the thread
  // of the packed frames' producer.
  std::atomic<bool> drawingPaused{false};
  std::atomic<uint32_t> producerThreadId{0};

 private:
  bool OpenFrameSource();
  // Until the first frame is presented the window shows the desktop as it was captured (each
  // monitor at its place) instead of the black of an empty window, from the moment the start-up
  // has opened the frame file (a window the host has not shown yet is shown then); not in the
  // preview pane or the layered window, which show what lies behind them, nor after a failed
  // start-up.
  bool ShowsCapturedDesktop() const;
  LRESULT PaintCapturedDesktop(UINT message, WPARAM wParam);
  void RunLayeredTimer(bool run);

  bool showsCapture_ = false;
};
