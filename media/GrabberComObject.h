#pragma once
// The COM identity both frame grabbers share: an allocator interface (the primary one, which
// also answers for IUnknown) and a presenter interface, one interlocked reference count starting
// at 0, and self-deletion when Release brings it back to 0.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

// The one user id the grabbers serve (they ignore the id in every call).
constexpr DWORD_PTR kVmrUserId = 0xACDCACDC;

template <typename Allocator, const IID& AllocatorId, typename Presenter, const IID& PresenterId>
class GrabberComObject : public Allocator, public Presenter {
 public:
  GrabberComObject(const GrabberComObject&) = delete;
  GrabberComObject& operator=(const GrabberComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == AllocatorId || iid == IID_IUnknown) {
      *object = static_cast<Allocator*>(this);
    } else if (iid == PresenterId) {
      *object = static_cast<Presenter*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  GrabberComObject() = default;
  virtual ~GrabberComObject() = default;

 private:
  std::atomic<ULONG> references_{0};
};
