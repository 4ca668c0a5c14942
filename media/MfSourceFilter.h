#pragma once
// A DirectShow source filter that reads a file through Media Foundation's source reader: for the
// files a fresh Windows's DirectShow cannot read (MP4, M4A, M4V, MOV, 3GP, ADTS AAC). One output
// pin per decoded stream ("Video" as RGB32, "Audio" as PCM), each streaming on its own thread
// while the filter is paused or running. Written without the SDK's base classes, which not every
// toolchain ships.
#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "base/ThreadToolkit.h"

class MfRuntime;
class MfSourcePin;

class MfSourceFilter : public IBaseFilter {
 public:
  // Null when Media Foundation is missing or reads neither stream of the file. Without withVideo
  // the file's video is not even decoded.
  static Microsoft::WRL::ComPtr<MfSourceFilter> Open(const std::wstring& path, bool withVideo);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override;

  // IPersist, IMediaFilter, IBaseFilter
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Pause() override;
  HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
  HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
  HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
  HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
  HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
  HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
  HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
  HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

  // The output pins, video first.
  std::vector<Microsoft::WRL::ComPtr<IPin>> pins();

  // Inspection (tests): filters not yet destroyed. One released while it streams goes when its
  // streaming threads have ended, on the last of them where that let go of it last.
  static int Living();

 private:
  MfSourceFilter();
  virtual ~MfSourceFilter();

  std::atomic<ULONG> references_{0};
  LightWeightMutex lock_;
  FILTER_STATE state_ = State_Stopped;
  Microsoft::WRL::ComPtr<IReferenceClock> clock_;
  IFilterGraph* graph_ = nullptr;  // not counted: the graph holds the filter
  std::wstring name_;
  std::vector<std::unique_ptr<MfSourcePin>> pins_;
};

// Builds the graph for path with that filter as its source, for a file no registered source
// filter could render: removes every filter, adds the renderers again and renders each of the
// filter's pins. True when any pin reached a renderer (audio alone counts: a video the renderers
// take no picture from plays as sound); false leaves the graph empty.
bool BuildGraphByMediaFoundation(const std::wstring& path, IGraphBuilder* graph,
                                 const std::vector<Microsoft::WRL::ComPtr<IBaseFilter>>& renderers, bool withVideo);
