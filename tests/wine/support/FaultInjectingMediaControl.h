#pragma once
// The real graph's control interface with faults on demand, put between a DShowFilterGraph and
// its graph with InterposeMediaControl:
//  - stuckStates: GetState never reports a finished change: it waits out its time-out (for ever
//    with INFINITE) and answers "still changing";
//  - stalled: the state changes that would start the media (Run, Pause, StopWhenReady) are
//    accepted but never reach the graph, so no sample, no video frame and no end ever comes;
//  - failedRuns: Run is refused (E_FAIL) and never reaches the graph, as for media that open but
//    cannot play;
//  - deviceGone: while the graph's DirectSound renderer is connected, Run, Pause and StopWhenReady
//    are refused (E_FAIL) and never reach the graph, as for an audio renderer whose output device
//    has gone.
// Stop always reaches the graph, so that it can be cleaned up.
#include <dshow.h>
#include <wrl/client.h>

#include <atomic>

#include "base/ComReference.h"
#include "base/ThreadToolkit.h"
#include "base/UniqueHandle.h"

class FaultInjectingMediaControl : public IMediaControl {
 public:
  // The caller takes the one reference the new object starts with.
  static Microsoft::WRL::ComPtr<FaultInjectingMediaControl> Around(IMediaControl* real) {
    return AdoptReference(new FaultInjectingMediaControl(real));
  }

  std::atomic<bool> stuckStates{false};
  std::atomic<bool> stalled{false};
  std::atomic<bool> failedRuns{false};
  std::atomic<bool> deviceGone{false};
  std::atomic<int> runs{0};
  std::atomic<int> stateQueries{0};

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IMediaControl) {
      *object = static_cast<IMediaControl*>(this);
      AddRef();
      return S_OK;
    }
    return real_->QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return real_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return real_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return real_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
    return real_->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
  }
  HRESULT STDMETHODCALLTYPE Run() override {
    ++runs;
    if (failedRuns || SoundRefused()) return E_FAIL;
    return stalled ? S_FALSE : real_->Run();
  }
  HRESULT STDMETHODCALLTYPE Pause() override {
    if (SoundRefused()) return E_FAIL;
    return stalled ? S_FALSE : real_->Pause();
  }
  HRESULT STDMETHODCALLTYPE Stop() override { return real_->Stop(); }
  HRESULT STDMETHODCALLTYPE GetState(LONG timeoutMs, OAFilterState* state) override {
    ++stateQueries;
    if (!stuckStates && !stalled) return real_->GetState(timeoutMs, state);
    // A change that never finishes: the whole time-out passes, and the answer is "still changing".
    WaitForSingleObject(never_.get(), timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    real_->GetState(0, state);
    return VFW_S_STATE_INTERMEDIATE;
  }
  HRESULT STDMETHODCALLTYPE RenderFile(BSTR file) override { return real_->RenderFile(file); }
  HRESULT STDMETHODCALLTYPE AddSourceFilter(BSTR file, IDispatch** filter) override {
    return real_->AddSourceFilter(file, filter);
  }
  HRESULT STDMETHODCALLTYPE get_FilterCollection(IDispatch** collection) override {
    return real_->get_FilterCollection(collection);
  }
  HRESULT STDMETHODCALLTYPE get_RegFilterCollection(IDispatch** collection) override {
    return real_->get_RegFilterCollection(collection);
  }
  HRESULT STDMETHODCALLTYPE StopWhenReady() override {
    if (SoundRefused()) return E_FAIL;
    return stalled ? S_FALSE : real_->StopWhenReady();
  }

  // The graph's DirectSound renderer has a connected input.
  bool SoundConnected() const {
    Microsoft::WRL::ComPtr<IFilterGraph> graph;
    Microsoft::WRL::ComPtr<IBaseFilter> sound;
    Microsoft::WRL::ComPtr<IEnumPins> pins;
    if (FAILED(real_->QueryInterface(IID_IFilterGraph, reinterpret_cast<void**>(graph.GetAddressOf()))) ||
        FAILED(graph->FindFilterByName(L"Default DirectSound Device", sound.GetAddressOf())) ||
        FAILED(sound->EnumPins(pins.GetAddressOf()))) {
      return false;
    }
    Microsoft::WRL::ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
      Microsoft::WRL::ComPtr<IPin> peer;
      if (SUCCEEDED(pin->ConnectedTo(peer.GetAddressOf())) && peer) return true;
    }
    return false;
  }

 private:
  bool SoundRefused() const { return deviceGone && SoundConnected(); }

  explicit FaultInjectingMediaControl(IMediaControl* real) : real_(real) {}
  virtual ~FaultInjectingMediaControl() = default;

  Microsoft::WRL::ComPtr<IMediaControl> real_;
  UniqueHandle never_{CreateEventOrDie(true, false)};
  std::atomic<ULONG> references_{1};
};
