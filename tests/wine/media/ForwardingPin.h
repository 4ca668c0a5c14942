#pragma once
// Every IPin call of a pin made around a real pin goes to the real one; the test's pin overrides
// what it changes. Base is IPin or a class derived from it that supplies IUnknown.
#include <dshow.h>
#include <wrl/client.h>

template <typename Base>
class ForwardingPin : public Base {
 public:
  explicit ForwardingPin(IPin* real) : real_(real) {}

  HRESULT STDMETHODCALLTYPE Connect(IPin* pin, const AM_MEDIA_TYPE* type) override { return real_->Connect(pin, type); }
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* pin, const AM_MEDIA_TYPE* type) override {
    return real_->ReceiveConnection(pin, type);
  }
  HRESULT STDMETHODCALLTYPE Disconnect() override { return real_->Disconnect(); }
  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override { return real_->ConnectedTo(pin); }
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override {
    return real_->ConnectionMediaType(type);
  }
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override { return real_->QueryPinInfo(info); }
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override {
    return real_->QueryDirection(direction);
  }
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override { return real_->QueryId(id); }
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override { return real_->QueryAccept(type); }
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override { return real_->EnumMediaTypes(types); }
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override {
    return real_->QueryInternalConnections(pins, count);
  }
  HRESULT STDMETHODCALLTYPE EndOfStream() override { return real_->EndOfStream(); }
  HRESULT STDMETHODCALLTYPE BeginFlush() override { return real_->BeginFlush(); }
  HRESULT STDMETHODCALLTYPE EndFlush() override { return real_->EndFlush(); }
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override {
    return real_->NewSegment(start, stop, rate);
  }

 protected:
  Microsoft::WRL::ComPtr<IPin> real_;
};
