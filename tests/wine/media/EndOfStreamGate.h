#pragma once
// A real renderer's input pin that holds back the end of stream until the source has begun to
// stop: the moment a stream that ends meets a stop, which a busy machine hits now and then and a
// quiet one almost never. Or, given a graph to hold, one that passes the end of stream on and then
// lets go of that graph, as a renderer that holds its graph while it notifies it does. Everything
// else goes to the real pin; the allocator it hands out is forwarded too, only to see the source
// decommit it (its first step of stopping). The renderer itself reacts to the end of stream as it
// always does.
#include <dshow.h>
#include <wrl/client.h>

#include <atomic>

#include "ForwardingPin.h"
#include "base/ThreadToolkit.h"
#include "base/UniqueHandle.h"
#include "media/ComQuery.h"

class EndOfStreamGate : public ForwardingPin<IPin>, public IMemInputPin, public IMemAllocator {
 public:
  explicit EndOfStreamGate(IPin* real) : ForwardingPin(real) { QueryInto(real, IID_IMemInputPin, input_); }

  // Set when the end of stream has arrived (and waits).
  HANDLE reached() const { return reached_.get(); }
  // Set whenever the last reference to the gate goes (reset it once the source holds it).
  HANDLE unused() const { return unused_.get(); }
  // Before the graph runs: the end of stream passes at once and then releases graph.
  void HoldUntilEndOfStream(Microsoft::WRL::ComPtr<IUnknown> graph) { held_ = std::move(graph); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPin) {
      *object = static_cast<IPin*>(this);
    } else if (iid == IID_IMemInputPin) {
      *object = static_cast<IMemInputPin*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  // Owned by the test, which waits for unused() or disconnects before it goes.
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) SetEvent(unused_.get());
    return left;
  }

  HRESULT STDMETHODCALLTYPE EndOfStream() override {
    SetEvent(reached_.get());
    if (!held_) {
      WaitForSingleObject(decommitted_.get(), INFINITE);
      return real_->EndOfStream();
    }
    const HRESULT passed = real_->EndOfStream();
    held_.Reset();  // where it was the last reference, the graph goes on the source's streaming thread
    return passed;
  }

  // IMemInputPin
  // The renderer's allocator, or a plain one where it has none of its own (as the source would
  // take), seen through the gate.
  HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override {
    if (!allocator) return E_POINTER;
    if (!allocator_ && FAILED(input_->GetAllocator(allocator_.GetAddressOf()))) {
      const HRESULT made = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                            reinterpret_cast<void**>(allocator_.GetAddressOf()));
      if (FAILED(made)) return made;
    }
    *allocator = this;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override {
    return input_->NotifyAllocator(allocator == this ? allocator_.Get() : allocator, readOnly);
  }
  HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* wanted) override {
    return input_->GetAllocatorRequirements(wanted);
  }
  HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override { return input_->Receive(sample); }
  HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count, long* done) override {
    return input_->ReceiveMultiple(samples, count, done);
  }
  HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override { return input_->ReceiveCanBlock(); }

  // IMemAllocator
  HRESULT STDMETHODCALLTYPE SetProperties(ALLOCATOR_PROPERTIES* wanted, ALLOCATOR_PROPERTIES* actual) override {
    return allocator_->SetProperties(wanted, actual);
  }
  HRESULT STDMETHODCALLTYPE GetProperties(ALLOCATOR_PROPERTIES* actual) override {
    return allocator_->GetProperties(actual);
  }
  HRESULT STDMETHODCALLTYPE Commit() override { return allocator_->Commit(); }
  HRESULT STDMETHODCALLTYPE Decommit() override {
    const HRESULT done = allocator_->Decommit();
    SetEvent(decommitted_.get());
    return done;
  }
  HRESULT STDMETHODCALLTYPE GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                                      DWORD flags) override {
    return allocator_->GetBuffer(sample, start, end, flags);
  }
  HRESULT STDMETHODCALLTYPE ReleaseBuffer(IMediaSample* sample) override { return allocator_->ReleaseBuffer(sample); }

 private:
  Microsoft::WRL::ComPtr<IMemInputPin> input_;
  Microsoft::WRL::ComPtr<IMemAllocator> allocator_;
  Microsoft::WRL::ComPtr<IUnknown> held_;
  std::atomic<ULONG> references_{0};
  UniqueHandle reached_{CreateEventOrDie(true, false)};
  UniqueHandle unused_{CreateEventOrDie(true, false)};
  UniqueHandle decommitted_{CreateEventOrDie(true, false)};
};
