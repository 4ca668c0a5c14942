#include "media/DShowFilterGraph.h"

#include <algorithm>

#include "base/FatalCheck.h"
#include "media/ComQuery.h"
#include "media/DShowVmr.h"
#include "media/DShowVmr7Grabber.h"
#include "media/DShowVmr9Grabber.h"
#include "media/GraphUtilities.h"
#include "media/MfSourceFilter.h"

using Microsoft::WRL::ComPtr;

namespace {
// A wait for a state asks the graph this often.
constexpr LONG kStateWaitSliceMs = 20;
// How long Cue lets the filters cue their data before it pauses the graph regardless.
constexpr LONG kCueStopWaitMs = 5000;

bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

// The media played to its end, or the graph stopped on an error (a renderer that lost its device
// aborts the whole graph), or an output device went or came back: each time the render thread
// starts the media over, as at its end, and the media plays again as far as the devices now allow.
bool EndsThePlay(long code) {
  switch (code) {
    case EC_COMPLETE:
    case EC_ERRORABORT:
    case EC_ERRORABORTEX:
    case EC_STREAM_ERROR_STOPPED:
    case EC_DEVICE_LOST:
      return true;
    default:
      return false;
  }
}
}  // namespace

DShowFilterGraph::DShowFilterGraph()
    : makeVmr7_(CreateVmr7Renderer),
      graphEvent_(CreateEventOrDie(false, false)),
      completionEvent_(CreateEventOrDie(false, false)) {}

DShowFilterGraph::~DShowFilterGraph() {
  eventThread_.Stop();
  if (mediaControl_ && SUCCEEDED(mediaControl_->Stop())) {
    OAFilterState state;
    mediaControl_->GetState(0, &state);
  }
  // The members go in reverse order: the renderers' wrappers before the graph that holds them.
}

void DShowFilterGraph::Lock() {
  if (vmr_) vmr_->Lock();
}

void DShowFilterGraph::Unlock() {
  if (vmr_) vmr_->Unlock();
}

bool DShowFilterGraph::CopyFrame(PosterFrame& frame) { return vmr_ && vmr_->CopyFrame(frame); }

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
  graphEvent_ = DuplicateForWait(reinterpret_cast<HANDLE>(eventHandle));

  eventThread_.Start([this] { WatchEvents(); }, false);

  // Without an audio output device (no speakers, a disabled device, a remote session without
  // sound) the DirectSound renderer cannot be made: the graph then plays pictures only.
  CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_ALL, IID_IBaseFilter,
                   reinterpret_cast<void**>(audioRenderer_.ReleaseAndGetAddressOf()));
  return true;
}

bool DShowFilterGraph::Open(const std::wstring& file) {
  path_.clear();
  if (Build(file)) return true;
  // Nothing of a failed build stays: a renderer left behind would be waited for as if it played.
  vmr_.reset();
  if (graphBuilder_) RemoveAllFilters(graphBuilder_.Get());
  return false;
}

bool DShowFilterGraph::Build(const std::wstring& file) {
  if (!graphBuilder_) return false;
  soundPin_.Reset();
  soundUpstream_.Reset();
  IGraphBuilder* graph = graphBuilder_.Get();
  if (RemoveAllFilters(graph) != S_OK) return false;

  if (device_ && !vmr_) {
    if (ddraw_) {
      vmr_ = makeVmr7_(device_.Get(), ddraw_.Get());
      // Where the VMR-7 chain cannot be built (no default allocator-presenter, a renderer that
      // takes no allocator-presenter of ours), the video goes to the VMR-9 instead of nowhere.
      if (!vmr_) ddraw_.Reset();
    }
    if (!vmr_) vmr_ = CreateVmr9Renderer(device_.Get());
  }
  if (vmr_ && graph->AddFilter(vmr_->filter.Get(), vmr_->name) != S_OK) return false;
  if (audioRenderer_ && graph->AddFilter(audioRenderer_.Get(), L"Default DirectSound Device") != S_OK) return false;

  if (graph->RenderFile(file.c_str(), nullptr) == VFW_E_NOT_FOUND) return false;
  // Rendered only in part, or not at all: try the registered source filters one by one.
  if (!IsGraphComplete(graph)) {
    FilterList renderers;
    if (vmr_) renderers.push_back(vmr_->filter);
    if (audioRenderer_) renderers.push_back(audioRenderer_);
    const auto stopTest = [this, graph] { return RenderersConnected() || IsGraphComplete(graph); };
    // No registered filter reads it (MP4, M4A or MOV on a Windows without a codec pack): Media
    // Foundation may.
    if (!BuildGraphBySourceFilters(file, graph, renderers, stopTest) &&
        !BuildGraphByMediaFoundation(file, graph, renderers, vmr_ != nullptr)) {
      return false;
    }
  }
  if (ddraw_ && vmr_ && !VideoRendererConnected() && !GetVideoRenderers(graph).empty()) {
    // The VMR-7 was made but the video went elsewhere (its default allocator-presenter fails
    // without DirectDraw, as in a remote session): the graph is built again with the VMR-9.
    vmr_.reset();
    ddraw_.Reset();
    return Build(file);
  }
  if (!FinishGraph()) return false;
  DumpGraph(graph);
  path_ = file;
  return true;
}

// True also without a video renderer.
bool DShowFilterGraph::VideoRendererConnected() const {
  return !vmr_ || AllPinsConnected(vmr_->filter.Get(), PinDirection::Input);
}

bool DShowFilterGraph::RenderersConnected() const {
  return VideoRendererConnected() && (!audioRenderer_ || AllPinsConnected(audioRenderer_.Get(), PinDirection::Input));
}

bool DShowFilterGraph::FinishGraph() {
  // Without a renderer of ours (none could be made) the graph builder brings its own, which would
  // show the video in a window of its own: the video is not captured, so the chain goes.
  if (!device_ || !HasVideo() || !VideoRendererConnected()) {
    // No video is captured: whatever renderer the graph builder added for it goes again.
    if (FAILED(RemoveVideoRenderers(graphBuilder_.Get()))) {
      RemoveAllFilters(graphBuilder_.Get());
      return false;
    }
    vmr_.reset();
  }
  if (!audioRenderer_ && !vmr_) {
    // Neither sound nor a picture can come out: a graph of nothing would only pretend to play.
    RemoveAllFilters(graphBuilder_.Get());
    return false;
  }
  ApplyVolume(graphBuilder_.Get(), volume_);
  return true;
}

bool DShowFilterGraph::HasVideo() const { return vmr_ != nullptr; }

bool DShowFilterGraph::CanPlaySound() const { return audioRenderer_ != nullptr; }

bool DShowFilterGraph::SetVolume(uint8_t newVolume) {
  volume_ = newVolume;
  if (!graphBuilder_) return true;
  return ApplyVolume(graphBuilder_.Get(), volume_);
}

DShowFilterGraph::StateWait DShowFilterGraph::AwaitState(LONG timeoutMs, HANDLE stopEvent,
                                                         const OAFilterState* wanted) {
  // In short slices rather than one long GetState: the graph manager may hold its own lock while
  // it waits, which keeps it from finishing the very change being waited for (Wine's does, until
  // the media ends); and between slices a stop request is seen.
  const DWORD start = GetTickCount();
  for (;;) {
    LONG slice = kStateWaitSliceMs;
    if (timeoutMs >= 0) {
      const LONG elapsed = static_cast<LONG>(GetTickCount() - start);
      slice = std::max<LONG>(0, std::min<LONG>(slice, timeoutMs - elapsed));
    }
    OAFilterState state = State_Stopped;
    const HRESULT hr = mediaControl_->GetState(slice, &state);
    if (FAILED(hr)) return StateWait::Failed;
    if (hr != VFW_S_STATE_INTERMEDIATE && (!wanted || state == *wanted)) return StateWait::Reached;
    if (stopEvent && Signalled(stopEvent)) return StateWait::Interrupted;
    if (timeoutMs >= 0 && static_cast<LONG>(GetTickCount() - start) >= timeoutMs) return StateWait::TimedOut;
    // Waiting for a state the graph is not yet moving to: give its threads the processor.
    if (wanted && hr == S_OK) Sleep(kStateWaitSliceMs);
  }
}

bool DShowFilterGraph::WaitForState(LONG timeoutMs, HANDLE stopEvent) {
  const StateWait wait = AwaitState(timeoutMs, stopEvent, nullptr);
  // Still on its way when the time is up counts as success, as GetState's own answer does.
  return wait == StateWait::Reached || wait == StateWait::TimedOut;
}

bool DShowFilterGraph::Detach(IBaseFilter* renderer, ComPtr<IPin>& pin, ComPtr<IPin>& upstream) {
  const PinList connected = GetPins(renderer, PinInput | PinConnected);
  if (connected.empty()) return true;
  pin = connected.front();
  upstream.Reset();
  pin->ConnectedTo(upstream.GetAddressOf());
  if (graphBuilder_->Disconnect(pin.Get()) != S_OK) return false;
  return !upstream || graphBuilder_->Disconnect(upstream.Get()) == S_OK;
}

bool DShowFilterGraph::Reattach(ComPtr<IPin>& pin, ComPtr<IPin>& upstream) {
  if (!pin || !upstream) return true;
  if (graphBuilder_->Connect(upstream.Get(), pin.Get()) != S_OK) return false;
  upstream.Reset();
  pin.Reset();
  return true;
}

bool DShowFilterGraph::Reconnect() { return !vmr_ || Reattach(vmr_->vmrPin, vmr_->upstreamPin); }

HRESULT DShowFilterGraph::ChangeState(const std::function<HRESULT()>& change) {
  if (!mediaControl_ || !Reconnect()) return E_FAIL;
  // The sound comes back with its device; until then it stays off.
  Reattach(soundPin_, soundUpstream_);
  const HRESULT hr = change();
  if (SUCCEEDED(hr) || !HasVideo() || !audioRenderer_ || !AllPinsConnected(audioRenderer_.Get(), PinDirection::Input)) {
    return hr;
  }
  // Refused with the sound connected (the audio renderer has lost its output device): the
  // picture goes on without it.
  mediaControl_->Stop();
  if (!Detach(audioRenderer_.Get(), soundPin_, soundUpstream_)) return hr;
  return change();
}

bool DShowFilterGraph::Run(LONG timeoutMs, HANDLE stopEvent) {
  if (FAILED(ChangeState([this] { return mediaControl_->Run(); }))) return false;
  return WaitForState(timeoutMs, stopEvent);
}

bool DShowFilterGraph::Stop(LONG timeoutMs, HANDLE stopEvent) {
  if (!mediaControl_ || FAILED(mediaControl_->Stop())) return false;
  return WaitForState(timeoutMs, stopEvent);
}

bool DShowFilterGraph::Pause() {
  if (FAILED(ChangeState([this] { return mediaControl_->Pause(); }))) return false;
  return WaitForState(0, nullptr);
}

bool DShowFilterGraph::Cue(HANDLE stopEvent) {
  const HRESULT cued = ChangeState([this] { return mediaControl_->StopWhenReady(); });
  if (FAILED(cued)) return false;
  if (cued == S_FALSE) {
    // The filters are still cueing: the graph stops later, from a thread of its own, and that stop
    // would undo a pause (or a run) given before it. Let it happen first; a stream that never
    // cues is given up on after a while and paused all the same.
    const OAFilterState stopped = State_Stopped;
    const StateWait wait = AwaitState(kCueStopWaitMs, stopEvent, &stopped);
    if (wait == StateWait::Failed || wait == StateWait::Interrupted) return false;
  }
  return Pause();
}

bool DShowFilterGraph::Rewind() {
  if (!mediaSeeking_) return true;
  LONGLONG start = 0;
  return SUCCEEDED(
      mediaSeeking_->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning));
}

bool DShowFilterGraph::DetachVideo() {
  if (!vmr_) return true;
  return Detach(vmr_->filter.Get(), vmr_->vmrPin, vmr_->upstreamPin) && vmr_->ReleaseSurfaces();
}

void DShowFilterGraph::SetFrameEvent(HANDLE event) {
  if (vmr_) vmr_->SetFrameEvent(event);
}

void DShowFilterGraph::SetCompletionEvent(HANDLE event) {
  LockGuard guard(eventLock_);
  completionEvent_ = DuplicateForWait(event);
}

DShowFilterGraph::VideoDeliveries DShowFilterGraph::videoDeliveries() const {
  return vmr_ ? vmr_->deliveries() : VideoDeliveries{};
}

void DShowFilterGraph::WatchEvents() {
  const std::vector<HANDLE> handles{eventThread_.stopEvent(), graphEvent_.get()};
  while (WaitAny(handles) != eventThread_.stopEvent()) {
    long code = 0;
    LONG_PTR first = 0, second = 0;
    while (mediaEvent_->GetEvent(&code, &first, &second, 0) == S_OK) {
      if (EndsThePlay(code)) {
        LockGuard guard(eventLock_);
        SetEventOrDie(completionEvent_.get());
      }
      mediaEvent_->FreeEventParams(code, first, second);
    }
  }
}
