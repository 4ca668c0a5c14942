#include "media/DShowFilterGraph.h"

#include <algorithm>

#include "engine/base/FatalCheck.h"
#include "media/ComQuery.h"
#include "media/DShowVmr.h"
#include "media/DShowVmr7Grabber.h"
#include "media/DShowVmr9Grabber.h"
#include "media/GraphUtilities.h"

using Microsoft::WRL::ComPtr;

namespace {
// A wait for a state asks the graph this often.
constexpr LONG kStateWaitSliceMs = 20;
// How long Cue lets the filters cue their data before it pauses the graph regardless.
constexpr LONG kCueStopWaitMs = 5000;

bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }
}  // namespace

DShowFilterGraph::DShowFilterGraph()
    : graphEvent_(CreateEventOrDie(false, false)), completionEvent_(CreateEventOrDie(false, false)) {}

DShowFilterGraph::~DShowFilterGraph() {
  eventThread_.Stop();
  if (mediaControl_ && SUCCEEDED(mediaControl_->Stop())) {
    OAFilterState state;
    mediaControl_->GetState(0, &state);
  }
  // The members go in reverse order: the renderers' wrappers before the graph that holds them.
}

void DShowFilterGraph::Lock() {
  if (vmr9_) vmr9_->grabber().Lock();
}

void DShowFilterGraph::Unlock() {
  if (vmr9_) vmr9_->grabber().Unlock();
}

bool DShowFilterGraph::CopyFrame(PosterFrame& frame) {
  DShowVmrBase* vmr = Vmr();
  return vmr && vmr->CopyFrame(frame);
}

DShowVmrBase* DShowFilterGraph::Vmr() const {
  if (vmr9_) return vmr9_.get();
  return vmr7_.get();
}

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

bool DShowFilterGraph::Open(const std::wstring& file) {
  path_.clear();
  if (!graphBuilder_ || !audioRenderer_) return false;
  IGraphBuilder* graph = graphBuilder_.Get();
  if (RemoveAllFilters(graph) != S_OK) return false;

  if (device_) {
    if (ddraw_ && !vmr7_) {
      vmr7_ = CreateVmr7Renderer(device_.Get(), ddraw_.Get());
      // Where the VMR-7 chain cannot be built (no default allocator-presenter, a renderer that
      // takes no allocator-presenter of ours), the video goes to the VMR-9 instead of nowhere.
      if (!vmr7_) ddraw_.Reset();
    }
    if (!ddraw_ && !vmr9_) vmr9_ = CreateVmr9Renderer(device_.Get());
  }
  if (vmr9_ && graph->AddFilter(vmr9_->filter.Get(), L"VMR9") != S_OK) return false;
  if (vmr7_ && graph->AddFilter(vmr7_->filter.Get(), L"VMR7") != S_OK) return false;
  if (graph->AddFilter(audioRenderer_.Get(), L"Default DirectSound Device") != S_OK) return false;

  if (graph->RenderFile(file.c_str(), nullptr) == VFW_E_NOT_FOUND) return false;
  // Rendered only in part, or not at all: try the registered source filters one by one.
  if (!IsGraphComplete(graph)) {
    FilterList renderers;
    if (vmr9_) renderers.push_back(vmr9_->filter);
    if (vmr7_) renderers.push_back(vmr7_->filter);
    renderers.push_back(audioRenderer_);
    const auto stopTest = [this, graph] { return RenderersConnected() || IsGraphComplete(graph); };
    if (!BuildGraphBySourceFilters(file, graph, renderers, stopTest)) return false;
  }
  if (!FinishGraph()) return false;
  DumpGraph(graph);
  path_ = file;
  return true;
}

bool DShowFilterGraph::RenderersConnected() const {
  if (vmr9_ && !AllPinsConnected(vmr9_->filter.Get(), PinDirection::Input)) return false;
  if (vmr7_ && !AllPinsConnected(vmr7_->filter.Get(), PinDirection::Input)) return false;
  return AllPinsConnected(audioRenderer_.Get(), PinDirection::Input);
}

bool DShowFilterGraph::FinishGraph() {
  const bool vmrUnconnected = (vmr9_ && !AllPinsConnected(vmr9_->filter.Get(), PinDirection::Input)) ||
                              (vmr7_ && !AllPinsConnected(vmr7_->filter.Get(), PinDirection::Input));
  // Without a renderer of ours (none could be made) the graph builder brings its own, which would
  // show the video in a window of its own: the video is not captured, so the chain goes.
  if (!device_ || !HasVideo() || vmrUnconnected) {
    // No video is captured: whatever renderer the graph builder added for it goes again.
    if (FAILED(RemoveVideoRenderers(graphBuilder_.Get()))) {
      RemoveAllFilters(graphBuilder_.Get());
      return false;
    }
    vmr9_.reset();
    vmr7_.reset();
  }
  ApplyVolume(graphBuilder_.Get(), volume_);
  return true;
}

bool DShowFilterGraph::HasVideo() const { return vmr9_ || vmr7_; }

bool DShowFilterGraph::SetVolume(uint8_t newVolume) {
  volume_ = newVolume;
  if (!graphBuilder_) return true;
  return ApplyVolume(graphBuilder_.Get(), volume_);
}

DShowFilterGraph::StateWait DShowFilterGraph::AwaitState(LONG timeoutMs, HANDLE stopEvent, const OAFilterState* wanted) {
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

bool DShowFilterGraph::Reconnect() {
  for (DShowVmrBase* vmr : {static_cast<DShowVmrBase*>(vmr9_.get()), static_cast<DShowVmrBase*>(vmr7_.get())}) {
    if (!vmr || !vmr->vmrPin || !vmr->upstreamPin) continue;
    if (graphBuilder_->Connect(vmr->upstreamPin.Get(), vmr->vmrPin.Get()) != S_OK) return false;
    vmr->upstreamPin.Reset();
    vmr->vmrPin.Reset();
  }
  return true;
}

bool DShowFilterGraph::Run(LONG timeoutMs, HANDLE stopEvent) {
  if (!mediaControl_ || !Reconnect() || FAILED(mediaControl_->Run())) return false;
  return WaitForState(timeoutMs, stopEvent);
}

bool DShowFilterGraph::Stop(LONG timeoutMs, HANDLE stopEvent) {
  if (!mediaControl_ || FAILED(mediaControl_->Stop())) return false;
  return WaitForState(timeoutMs, stopEvent);
}

bool DShowFilterGraph::Pause() {
  if (!mediaControl_ || !Reconnect() || FAILED(mediaControl_->Pause())) return false;
  return WaitForState(0, nullptr);
}

bool DShowFilterGraph::Cue(HANDLE stopEvent) {
  if (!mediaControl_ || !Reconnect()) return false;
  const HRESULT cued = mediaControl_->StopWhenReady();
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
  return SUCCEEDED(mediaSeeking_->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                               AM_SEEKING_NoPositioning));
}

bool DShowFilterGraph::DetachVideo() {
  DShowVmrBase* vmr = Vmr();
  if (!vmr) return true;
  const PinList connected = GetPins(vmr->filter.Get(), PinInput | PinConnected);
  if (!connected.empty()) {
    ComPtr<IPin> upstream;
    connected.front()->ConnectedTo(upstream.GetAddressOf());
    vmr->vmrPin = connected.front();
    vmr->upstreamPin = upstream;
    if (graphBuilder_->Disconnect(vmr->vmrPin.Get()) != S_OK) return false;
    if (upstream && graphBuilder_->Disconnect(upstream.Get()) != S_OK) return false;
  }
  return vmr->ReleaseSurfaces();
}

void DShowFilterGraph::SetFrameEvent(HANDLE event) {
  if (DShowVmrBase* vmr = Vmr()) vmr->SetFrameEvent(event);
}

void DShowFilterGraph::SetCompletionEvent(HANDLE event) {
  LockGuard guard(eventLock_);
  completionEvent_.reset(DuplicateForWait(event));
}

DShowFilterGraph::VideoDeliveries DShowFilterGraph::videoDeliveries() const {
  const DShowVmrBase* vmr = Vmr();
  return vmr ? vmr->deliveries() : VideoDeliveries{};
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
