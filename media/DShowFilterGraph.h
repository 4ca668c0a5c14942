#pragma once
// One DirectShow filter graph playing one media file. Audio goes to the DirectSound renderer; a
// worker thread turns the graph's completion notice into an event the render thread waits on.
#include <windows.h>
#include <d3d9.h>
#include <ddraw.h>
#include <dshow.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "engine/ThreadToolkit.h"
#include "engine/UniqueHandle.h"

struct PosterFrame;

class DShowFilterGraph : public ILockable {
 public:
  DShowFilterGraph();
  ~DShowFilterGraph() override;
  DShowFilterGraph(const DShowFilterGraph&) = delete;
  DShowFilterGraph& operator=(const DShowFilterGraph&) = delete;

  void Lock() override;
  void Unlock() override;
  virtual bool CopyFrame(PosterFrame& frame);

  bool Initialize(HWND ownerWindow, IDirect3DDevice9* device, IDirectDraw7* ddraw);
  bool Open(const std::wstring& path);
  bool HasVideo() const;
  bool SetVolume(uint8_t newVolume);
  bool Run(LONG timeoutMs);
  bool Stop(LONG timeoutMs);
  bool Pause();
  bool Cue();
  bool Rewind();
  bool DetachVideo();
  void SetFrameEvent(HANDLE event);
  void SetCompletionEvent(HANDLE event);

  const std::wstring& path() const { return path_; }

 private:
  void WatchEvents();
  bool WaitForState(LONG timeoutMs);
  bool ApplyVolume();

  uint8_t volume_ = 100;
  std::wstring path_;
  Microsoft::WRL::ComPtr<IDirect3DDevice9> device_;
  Microsoft::WRL::ComPtr<IDirectDraw7> ddraw_;
  Microsoft::WRL::ComPtr<IGraphBuilder> graphBuilder_;
  Microsoft::WRL::ComPtr<IMediaControl> mediaControl_;
  Microsoft::WRL::ComPtr<IMediaEventEx> mediaEvent_;
  Microsoft::WRL::ComPtr<IMediaSeeking> mediaSeeking_;
  Microsoft::WRL::ComPtr<IBaseFilter> audioRenderer_;
  UniqueHandle graphEvent_;
  UniqueHandle completionEvent_;
  Thread eventThread_;
  LightWeightMutex eventLock_;
};
