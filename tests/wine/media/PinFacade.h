#pragma once
// A filter made of real filters' pins, for pin layouts no filter of the platform happens to have:
// the pins of several filters as the pins of one (two inputs, say), or pins renamed with a leading
// '~' (the mark of pins not meant to be rendered). The filter forwards every call to the first
// real filter, the pins to the real pins, except what the layout changes.
#include <dshow.h>
#include <wrl/client.h>

#include <atomic>
#include <string>
#include <vector>

#include "ForwardingPin.h"
#include "base/ComReference.h"

namespace pinfacade {

template <typename Self, typename Interface>
class Counted : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == Self::kIid) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete static_cast<Self*>(this);
    return left;
  }
  virtual ~Counted() = default;

 private:
  std::atomic<ULONG> references_{1};
};

class Pin : public ForwardingPin<Counted<Pin, IPin>> {
 public:
  static constexpr const IID& kIid = IID_IPin;
  Pin(IPin* real, IBaseFilter* owner, bool tildeName) : ForwardingPin(real), owner_(owner), tildeName_(tildeName) {}
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override {
    const HRESULT hr = real_->QueryPinInfo(info);
    if (SUCCEEDED(hr)) {
      const std::wstring name = (tildeName_ ? L"~" : L"") + std::wstring(info->achName);
      lstrcpynW(info->achName, name.c_str(), MAX_PIN_NAME);
      if (info->pFilter) info->pFilter->Release();
      info->pFilter = owner_;
      owner_->AddRef();
    }
    return hr;
  }

 private:
  IBaseFilter* owner_;  // the facade, which outlives its pins' use in a test
  bool tildeName_;
};

class PinEnum : public Counted<PinEnum, IEnumPins> {
 public:
  static constexpr const IID& kIid = IID_IEnumPins;
  explicit PinEnum(std::vector<Microsoft::WRL::ComPtr<IPin>> pins) : pins_(std::move(pins)) {}
  HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** out, ULONG* fetched) override {
    ULONG given = 0;
    while (given < count && next_ < pins_.size()) pins_[next_++].CopyTo(&out[given++]);
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    next_ += count;
    return next_ <= pins_.size() ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumPins**) override { return E_NOTIMPL; }

 private:
  std::vector<Microsoft::WRL::ComPtr<IPin>> pins_;
  size_t next_ = 0;
};

class Filter : public Counted<Filter, IBaseFilter> {
 public:
  static constexpr const IID& kIid = IID_IBaseFilter;
  Filter(const std::vector<IBaseFilter*>& reals, bool tildeNames) : tildeNames_(tildeNames) {
    for (IBaseFilter* real : reals) reals_.emplace_back(real);
    real_ = reals_.front();
  }
  HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** out) override {
    std::vector<Microsoft::WRL::ComPtr<IPin>> pins;
    for (const auto& real : reals_) {
      Microsoft::WRL::ComPtr<IEnumPins> realPins;
      const HRESULT hr = real->EnumPins(&realPins);
      if (FAILED(hr)) return hr;
      Microsoft::WRL::ComPtr<IPin> pin;
      while (realPins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        pins.push_back(AdoptReference<IPin>(new Pin(pin.Get(), this, tildeNames_)));
      }
    }
    *out = new PinEnum(std::move(pins));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override { return real_->GetClassID(id); }
  HRESULT STDMETHODCALLTYPE Stop() override { return real_->Stop(); }
  HRESULT STDMETHODCALLTYPE Pause() override { return real_->Pause(); }
  HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override { return real_->Run(start); }
  HRESULT STDMETHODCALLTYPE GetState(DWORD timeout, FILTER_STATE* state) override {
    return real_->GetState(timeout, state);
  }
  HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override { return real_->SetSyncSource(clock); }
  HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override { return real_->GetSyncSource(clock); }
  HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override { return real_->FindPin(id, pin); }
  HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override { return real_->QueryFilterInfo(info); }
  HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override {
    return real_->JoinFilterGraph(graph, name);
  }
  HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override { return real_->QueryVendorInfo(info); }

 private:
  std::vector<Microsoft::WRL::ComPtr<IBaseFilter>> reals_;
  Microsoft::WRL::ComPtr<IBaseFilter> real_;
  bool tildeNames_;
};

}  // namespace pinfacade

// One filter with the pins of all the given filters, in their order; with tildeNames every pin's
// name gets a leading '~'.
inline Microsoft::WRL::ComPtr<IBaseFilter> FilterWithPinsOf(const std::vector<IBaseFilter*>& filters, bool tildeNames) {
  return AdoptReference<IBaseFilter>(new pinfacade::Filter(filters, tildeNames));
}
