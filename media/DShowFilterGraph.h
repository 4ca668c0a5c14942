#pragma once
// One DirectShow filter graph playing one media file. Audio goes to the DirectSound renderer
// (where there is an audio output device);
// video, when the graph was given a device, to a renderless video mixing renderer whose grabber
// captures every frame into a texture of that device. A worker thread turns the graph's
// completion notice into an event the render thread waits on.
//
// Calling order: construct; SetVolume may come first (it is then only stored); Initialize once;
// Open; then on one render thread SetFrameEvent, SetCompletionEvent, Cue or Run, and at each
// completion Stop, Rewind, Run. An audio-only graph may be opened again and again; a graph with
// a device is opened once.
#include <windows.h>
#include <d3d9.h>
#include <ddraw.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <dshow.h>  // after <string>: the strsafe.h it brings forbids what <string> needs

#include "base/ThreadToolkit.h"
#include "base/UniqueHandle.h"
#include "media/DShowVmr.h"

struct PosterFrame;

class DShowFilterGraph : public ILockable {
 public:
  DShowFilterGraph();
  ~DShowFilterGraph() override;
  DShowFilterGraph(const DShowFilterGraph&) = delete;
  DShowFilterGraph& operator=(const DShowFilterGraph&) = delete;

  // The VMR-9 grabber's lock: while it is held no new video frame is presented.
  void Lock() override;
  void Unlock() override;
  // The newest captured video frame into frame; false without video or before the first frame.
  virtual bool CopyFrame(PosterFrame& frame);

  // The graph makes no use of the owner window: it shows no window of its own. With a device video
  // is captured (through VMR-7 when a DirectDraw object is also given, else VMR-9); without one the
  // graph plays audio only. When Open cannot build the VMR-7 chain, or the video does not reach
  // the VMR-7, it lets go of the DirectDraw object and uses VMR-9.
  bool Initialize(HWND ownerWindow, IDirect3DDevice9* device, IDirectDraw7* ddraw);
  // Builds the graph for the file: RenderFile, else every registered source filter in turn.
  bool Open(const std::wstring& path);
  // The file's video reached the video renderer.
  bool HasVideo() const;
  // The DirectSound renderer could be made: there is an audio output device. Without one the graph
  // plays pictures only, and Open fails for a file that has nothing else.
  bool CanPlaySound() const;
  // 0 to 100; applied at once when the graph exists, else by the next Open.
  bool SetVolume(uint8_t newVolume);

  // The state changes. A time-out of -1 waits until the state is reached, 0 does not wait. With a
  // stop event the wait also ends (false) as soon as that event is set, whatever the graph does.
  // Run, Pause and Cue first reconnect a video renderer detached for a device reset, and the sound
  // detached when a graph with a picture would not play with it (its output device had gone).
  bool Run(LONG timeoutMs, HANDLE stopEvent = nullptr);
  bool Stop(LONG timeoutMs, HANDLE stopEvent = nullptr);
  bool Pause();
  // Lets the filters cue their data (the first video frame is presented) and leaves the graph
  // paused, ready to run.
  bool Cue(HANDLE stopEvent = nullptr);
  // To the start; the stop position stays. True when the graph cannot seek.
  bool Rewind();
  // Disconnects the video renderer and frees the grabber's surfaces, so that the device can be
  // reset; the next Run, Pause or Cue connects it again.
  bool DetachVideo();

  // Set after each captured video frame; not owned.
  void SetFrameEvent(HANDLE event);
  // Set when the media has played to its end, and when the graph stopped on an error or an output
  // device went or came back (to be started over as at the end); the graph keeps a duplicate.
  void SetCompletionEvent(HANDLE event);

  // The file the last successful Open rendered; empty before and during an Open.
  const std::wstring& path() const { return path_; }

  // Inspection (tests, benchmarks): the graph manager, and how many video frames the grabber was
  // handed and copied.
  IGraphBuilder* graphBuilder() const { return graphBuilder_.Get(); }
  using VideoDeliveries = DShowVmrBase::Deliveries;
  VideoDeliveries videoDeliveries() const;
  // Puts a wrapper between the graph and its control interface: tests inject faults the real graph
  // will not produce on demand. The wrapper is given the real interface by its maker.
  IMediaControl* mediaControl() const { return mediaControl_.Get(); }
  void InterposeMediaControl(IMediaControl* wrapper) { mediaControl_ = wrapper; }
  // Replaces how the VMR-7 is made (before Open): tests give one whose connection fails.
  using Vmr7Maker = std::function<std::unique_ptr<DShowVmrBase>(IDirect3DDevice9*, IDirectDraw7*)>;
  void InterposeVmr7Maker(Vmr7Maker maker) { makeVmr7_ = std::move(maker); }

 private:
  // Open's work; a failure may leave filters behind.
  bool Build(const std::wstring& file);
  bool VideoRendererConnected() const;

  bool RenderersConnected() const;
  bool FinishGraph();
  // Disconnects the renderer's connected input (if any), remembering both pins; connects the
  // remembered pins again (true when there were none).
  bool Detach(IBaseFilter* renderer, Microsoft::WRL::ComPtr<IPin>& pin, Microsoft::WRL::ComPtr<IPin>& upstream);
  bool Reattach(Microsoft::WRL::ComPtr<IPin>& pin, Microsoft::WRL::ComPtr<IPin>& upstream);
  bool Reconnect();
  // A state change after reconnecting what was detached; a graph with a picture that refuses it
  // with its sound connected tries once more without the sound.
  HRESULT ChangeState(const std::function<HRESULT()>& change);
  enum class StateWait { Reached, Failed, TimedOut, Interrupted };
  // Until the graph's state change is complete (and, with wanted, the state is that one).
  StateWait AwaitState(LONG timeoutMs, HANDLE stopEvent, const OAFilterState* wanted);
  bool WaitForState(LONG timeoutMs, HANDLE stopEvent);
  void WatchEvents();

  uint8_t volume_ = 100;
  std::wstring path_;
  Microsoft::WRL::ComPtr<IDirect3DDevice9> device_;
  Microsoft::WRL::ComPtr<IDirectDraw7> ddraw_;
  Microsoft::WRL::ComPtr<IGraphBuilder> graphBuilder_;
  Microsoft::WRL::ComPtr<IMediaControl> mediaControl_;
  Microsoft::WRL::ComPtr<IMediaEventEx> mediaEvent_;
  Microsoft::WRL::ComPtr<IMediaSeeking> mediaSeeking_;
  Microsoft::WRL::ComPtr<IBaseFilter> audioRenderer_;
  // Set while the sound is detached because the graph would not play with it.
  Microsoft::WRL::ComPtr<IPin> soundPin_;
  Microsoft::WRL::ComPtr<IPin> soundUpstream_;
  // The video renderer, VMR-9 or VMR-7; none without a device, or when the file's video did not
  // reach it.
  std::unique_ptr<DShowVmrBase> vmr_;
  Vmr7Maker makeVmr7_;
  UniqueHandle graphEvent_;
  UniqueHandle completionEvent_;
  Thread eventThread_;
  LightWeightMutex eventLock_;
};
