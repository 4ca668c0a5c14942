#pragma once
// The allocator-presenter of a renderless VMR-9: the renderer draws each video frame into
// surfaces of the engine's device that this object allocates, and presents it here; the frame is
// copied into the grabber's own texture, stamped with its time, and the frame event is set. The
// render thread then copies the newest frame with CopyFrame.
//
// A COM object with its own reference count, deleting itself when the last reference goes.
// The renderer calls it from its streaming threads; the lock (re-entrant) guards the poster, its
// texture, the surfaces, the notify interface and the frame event.
#include <windows.h>
#include <d3d9.h>
#include <dshow.h>
#include <vmr9.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/base/ThreadToolkit.h"
#include "media/GrabberComObject.h"
#include "media/PosterFrame.h"

class DShowVmr9Grabber : public GrabberComObject<IVMRSurfaceAllocator9, IID_IVMRSurfaceAllocator9,
                                                  IVMRImagePresenter9, IID_IVMRImagePresenter9> {
 public:
  explicit DShowVmr9Grabber(IDirect3DDevice9* device);

  // IVMRSurfaceAllocator9. Sizes are rounded up to powers of two; the poster's texture keeps the
  // video's own size as its content size.
  HRESULT STDMETHODCALLTYPE InitializeDevice(DWORD_PTR id, VMR9AllocationInfo* info, DWORD* buffers) override;
  HRESULT STDMETHODCALLTYPE TerminateDevice(DWORD_PTR id) override;
  HRESULT STDMETHODCALLTYPE GetSurface(DWORD_PTR id, DWORD index, DWORD flags, IDirect3DSurface9** surface) override;
  HRESULT STDMETHODCALLTYPE AdviseNotify(IVMRSurfaceAllocatorNotify9* notify) override;

 protected:
  ~DShowVmr9Grabber() override;

 public:
  virtual void Lock();
  virtual void Unlock();
  // Copies the newest frame into frame unless it already holds it (no picture copy then); false
  // before the first frame and after ReleaseSurfaces until the next one.
  virtual bool CopyFrame(PosterFrame& frame);

  // IVMRImagePresenter9
  HRESULT STDMETHODCALLTYPE StartPresenting(DWORD_PTR id) override;
  HRESULT STDMETHODCALLTYPE StopPresenting(DWORD_PTR id) override;
  HRESULT STDMETHODCALLTYPE PresentImage(DWORD_PTR id, VMR9PresentationInfo* info) override;

  // Lets go of everything on the device (before it is reset): the surfaces (the list keeps its
  // length) and the poster. Always true.
  bool ReleaseSurfaces();
  // The event set after each presented frame, or null; not owned.
  void SetFrameEvent(HANDLE event);

  // Diagnostics: PresentImage calls begun, and frames copied into the poster.
  uint64_t presentCalls() const { return presentCalls_.load(); }
  uint64_t framesPresented() const { return framesPresented_.load(); }

 private:
  void ReleaseSurfaceList();

  LightWeightMutex lock_;
  HANDLE frameEvent_ = nullptr;
  std::unique_ptr<PosterFrame> poster_;
  Microsoft::WRL::ComPtr<IDirect3DDevice9> device_;
  std::vector<Microsoft::WRL::ComPtr<IDirect3DSurface9>> surfaces_;
  UINT nativeWidth_ = 0;
  UINT nativeHeight_ = 0;
  Microsoft::WRL::ComPtr<IVMRSurfaceAllocatorNotify9> notify_;
  std::atomic<uint64_t> presentCalls_{0};
  std::atomic<uint64_t> framesPresented_{0};
};
