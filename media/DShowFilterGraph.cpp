#include "media/DShowFilterGraph.h"

#include "engine/FatalCheck.h"

using Microsoft::WRL::ComPtr;

namespace {
// Some DirectShow interfaces carry no compiler-known GUID in every SDK: name the IID explicitly.
template <typename Interface>
HRESULT QueryInto(IUnknown* object, REFIID iid, ComPtr<Interface>& out) {
  return object->QueryInterface(iid, reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
}
}  // namespace

DShowFilterGraph::DShowFilterGraph()
    : graphEvent_(CreateEventOrDie(false, false)), completionEvent_(CreateEventOrDie(false, false)) {}

DShowFilterGraph::~DShowFilterGraph() {
  eventThread_.Stop();
  if (mediaControl_ && SUCCEEDED(mediaControl_->Stop())) {
    OAFilterState state;
    mediaControl_->GetState(0, &state);
  }
}

void DShowFilterGraph::Lock() {}
void DShowFilterGraph::Unlock() {}
bool DShowFilterGraph::CopyFrame(PosterFrame&) { return false; }

bool DShowFilterGraph::Initialize(HWND, IDirect3DDevice9* device, IDirectDraw7* ddraw) {
  device_ = device;
  ddraw_ = ddraw;
  if (CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_ALL, IID_IGraphBuilder,
                       reinterpret_cast<void**>(graphBuilder_.ReleaseAndGetAddressOf())) != S_OK) {
    return false;
  }
  if (QueryInto(graphBuilder_.Get(), IID_IMediaControl, mediaControl_) != S_OK) return false;
  if (QueryInto(graphBuilder_.Get(), IID_IMediaEventEx, mediaEvent_) != S_OK) return false;
  if (QueryInto(graphBuilder_.Get(), IID_IMediaSeeking, mediaSeeking_) != S_OK) return false;

  OAEVENT eventHandle = 0;
  if (mediaEvent_->GetEventHandle(&eventHandle) != S_OK) return false;
  graphEvent_.reset(DuplicateForWait(reinterpret_cast<HANDLE>(eventHandle)));

  eventThread_.Start([this] { WatchEvents(); }, false);

  return CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_ALL, IID_IBaseFilter,
                          reinterpret_cast<void**>(audioRenderer_.ReleaseAndGetAddressOf())) == S_OK;
}

bool DShowFilterGraph::Open(const std::wstring&) {
  // Building a graph for a file comes with the media playback; until then nothing opens.
  path_.clear();
  return false;
}

bool DShowFilterGraph::HasVideo() const { return false; }

bool DShowFilterGraph::SetVolume(uint8_t newVolume) {
  volume_ = newVolume;
  if (!graphBuilder_) return true;
  return ApplyVolume();
}

bool DShowFilterGraph::ApplyVolume() {
  ComPtr<IBasicAudio> audio;
  if (FAILED(QueryInto(graphBuilder_.Get(), IID_IBasicAudio, audio))) return false;
  const long truncated = static_cast<long>(volume_ / 100.0 * -10000.0);
  return SUCCEEDED(audio->put_Volume(-10000 - truncated));
}

bool DShowFilterGraph::WaitForState(LONG timeoutMs) {
  OAFilterState state;
  return SUCCEEDED(mediaControl_->GetState(timeoutMs < 0 ? INFINITE : static_cast<LONG>(timeoutMs), &state));
}

bool DShowFilterGraph::Run(LONG timeoutMs) {
  if (!mediaControl_ || FAILED(mediaControl_->Run())) return false;
  return WaitForState(timeoutMs);
}

bool DShowFilterGraph::Stop(LONG timeoutMs) {
  if (!mediaControl_ || FAILED(mediaControl_->Stop())) return false;
  return WaitForState(timeoutMs);
}

bool DShowFilterGraph::Pause() {
  if (!mediaControl_ || FAILED(mediaControl_->Pause())) return false;
  return WaitForState(0);
}

bool DShowFilterGraph::Cue() {
  if (!mediaControl_ || FAILED(mediaControl_->StopWhenReady())) return false;
  return Pause();
}

bool DShowFilterGraph::Rewind() {
  if (!mediaSeeking_) return true;
  LONGLONG start = 0;
  return SUCCEEDED(mediaSeeking_->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                               AM_SEEKING_NoPositioning));
}

bool DShowFilterGraph::DetachVideo() { return true; }

void DShowFilterGraph::SetFrameEvent(HANDLE) {}

void DShowFilterGraph::SetCompletionEvent(HANDLE event) {
  LockGuard guard(eventLock_);
  completionEvent_.reset(DuplicateForWait(event));
}

void DShowFilterGraph::WatchEvents() {
  const std::vector<HANDLE> handles{eventThread_.stopEvent(), graphEvent_.get()};
  while (WaitAny(handles) != eventThread_.stopEvent()) {
    long code = 0;
    LONG_PTR first = 0, second = 0;
    while (mediaEvent_->GetEvent(&code, &first, &second, 0) == S_OK) {
      if (code == EC_COMPLETE) {
        LockGuard guard(eventLock_);
        SetEventOrDie(completionEvent_.get());
      }
      mediaEvent_->FreeEventParams(code, first, second);
    }
  }
}
