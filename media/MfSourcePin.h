#pragma once
// One output pin of the Media Foundation source filter: it offers the decoded stream of its own
// reader (RGB32 video or PCM audio), delivers it from a streaming thread of its own while the
// filter is paused or running, and seeks its stream through IMediaSeeking (the renderers pass the
// graph's seeking on to it). Its reference count is the filter's.
#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/ThreadToolkit.h"
#include "media/MediaTypeCopy.h"
#include "media/MfStreamReader.h"

class MfSourcePin : public IPin, public IMediaSeeking {
 public:
  // filter is the owning filter (its IBaseFilter is handed out as the pin's filter; its reference
  // count is the pin's); filterLock is the filter's state lock, taken by every call that changes
  // the connection or the streaming. The positions have a lock of their own, never held while a
  // streaming thread is waited for: the renderers ask for them from that thread (at the end of
  // the stream), also while the filter stops.
  MfSourcePin(IBaseFilter& filter, LightWeightMutex& filterLock, std::unique_ptr<MfStreamReader> reader,
              std::wstring name);
  virtual ~MfSourcePin();
  MfSourcePin(const MfSourcePin&) = delete;
  MfSourcePin& operator=(const MfSourcePin&) = delete;

  // The filter's state changes, under the filter's lock: streaming starts when the filter leaves
  // Stopped (at the stored position, in a new segment) and ends when it returns there.
  HRESULT Activate();
  void Deactivate();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return filter_.AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return filter_.Release(); }

  // IPin
  HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

  // IMediaSeeking, in media time (100 ns) only
  HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* capabilities) override;
  HRESULT STDMETHODCALLTYPE CheckCapabilities(DWORD* capabilities) override;
  HRESULT STDMETHODCALLTYPE IsFormatSupported(const GUID* format) override;
  HRESULT STDMETHODCALLTYPE QueryPreferredFormat(GUID* format) override;
  HRESULT STDMETHODCALLTYPE GetTimeFormat(GUID* format) override;
  HRESULT STDMETHODCALLTYPE IsUsingTimeFormat(const GUID* format) override;
  HRESULT STDMETHODCALLTYPE SetTimeFormat(const GUID* format) override;
  HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) override;
  HRESULT STDMETHODCALLTYPE GetStopPosition(LONGLONG* stop) override;
  HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG* current) override;
  HRESULT STDMETHODCALLTYPE ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                              const GUID* sourceFormat) override;
  HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                         DWORD stopFlags) override;
  HRESULT STDMETHODCALLTYPE GetPositions(LONGLONG* current, LONGLONG* stop) override;
  HRESULT STDMETHODCALLTYPE GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
  HRESULT STDMETHODCALLTYPE SetRate(double rate) override;
  HRESULT STDMETHODCALLTYPE GetRate(double* rate) override;
  HRESULT STDMETHODCALLTYPE GetPreroll(LONGLONG* preroll) override;

  // Inspection (tests): samples delivered since the filter left Stopped last.
  LONG deliveredSamples() const { return delivered_; }

 private:
  HRESULT AgreeAllocator(IPin* receivePin);
  void StartStreaming();
  void StopStreaming();
  // The streaming thread's body and its steps.
  void Stream(LONGLONG start, LONGLONG stop, HANDLE stopEvent);
  bool DeliverVideo(const MfReadSample& read, LONGLONG start);
  bool DeliverAudio(const MfReadSample& read, LONGLONG start);
  bool Deliver(IMediaSample* sample, LONGLONG sampleStart, LONGLONG sampleEnd);
  void AdoptDownstreamType(IMediaSample* sample);

  IBaseFilter& filter_;
  LightWeightMutex& filterLock_;
  std::unique_ptr<MfStreamReader> reader_;
  const std::wstring name_;
  OwnedMediaType offered_;

  // Under filterLock_:
  Microsoft::WRL::ComPtr<IPin> connected_;
  Microsoft::WRL::ComPtr<IMemInputPin> input_;
  Microsoft::WRL::ComPtr<IMemAllocator> allocator_;
  bool active_ = false;
  std::unique_ptr<Thread> streaming_;  // also a thread told to stop that has not ended yet

  // The streaming thread's own references to what it delivers to, taken as it starts: a thread
  // stopped from within its own call still holds them while the graph disconnects the pin.
  struct Downstream {
    Microsoft::WRL::ComPtr<IPin> pin;
    Microsoft::WRL::ComPtr<IMemInputPin> input;
    Microsoft::WRL::ComPtr<IMemAllocator> allocator;
  };
  Downstream streamed_;

  // Under positionLock_ (taken after filterLock_ where both are):
  LightWeightMutex positionLock_;
  LONGLONG start_ = 0;
  LONGLONG stop_ = 0;  // the stream's duration unless set

  // The streaming thread's own; read by others only as numbers.
  std::atomic<LONGLONG> current_{0};
  std::atomic<LONG> delivered_{0};
  // Where the renderer's pitch differs from ours (VMR-9 on its surfaces): bytes per destination row
  // and whether the rows go bottom-up; set anew by Connect.
  LONG destinationStride_ = 0;
  bool bottomUp_ = true;
  bool discontinuity_ = true;
};
