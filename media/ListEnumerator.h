#pragma once
// The IEnum* objects a filter of our own hands out (IEnumPins, IEnumMediaTypes): a fixed list, a
// cursor, and an owner reference that keeps what the items point into alive. Each item handed out
// is made by Handout (an added reference, a copy in task memory).
#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <atomic>
#include <vector>

template <typename Interface, const IID& InterfaceId, typename Item, typename Stored, Item (*Handout)(const Stored&)>
class ListEnumerator : public Interface {
 public:
  static Interface* Create(IUnknown* owner, std::vector<Stored> items, size_t cursor = 0) {
    auto* enumerator = new ListEnumerator(owner, std::move(items), cursor);
    enumerator->AddRef();
    return enumerator;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid != InterfaceId && iid != IID_IUnknown) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    while (given < count && cursor_ < items_.size()) {
      out[given] = Handout(items_[cursor_]);
      if (!out[given]) break;
      ++given;
      ++cursor_;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    if (items_.size() - cursor_ < count) {
      cursor_ = items_.size();
      return S_FALSE;
    }
    cursor_ += count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    cursor_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(Interface** copy) override {
    if (!copy) return E_POINTER;
    *copy = Create(owner_.Get(), items_, cursor_);
    return S_OK;
  }

 private:
  ListEnumerator(IUnknown* owner, std::vector<Stored> items, size_t cursor)
      : owner_(owner), items_(std::move(items)), cursor_(cursor) {}
  virtual ~ListEnumerator() = default;

  std::atomic<ULONG> references_{0};
  Microsoft::WRL::ComPtr<IUnknown> owner_;
  const std::vector<Stored> items_;
  size_t cursor_;
};
