#pragma once
// The allocator-presenter of a renderless VMR-7. Allocation is left to the system's default VMR-7
// allocator-presenter, which this object creates and forwards to; only the presenting is taken
// over: each presented DirectDraw surface is copied into a system-memory surface of its own, from
// there into a texture of the engine's device (the poster of its frame slot), stamped with its
// time, and the frame event is set. The default presenter is started and stopped but never asked to present, so
// nothing reaches the screen from it. The render thread copies the newest frame with CopyFrame.
//
// A COM object with its own reference count, deleting itself when the last reference goes. The
// renderer calls it from its streaming threads; the slot's lock (re-entrant) guards the poster,
// its texture, the copy surface and the frame event.
#include <windows.h>
#include <d3d9.h>
#include <ddraw.h>
#include <dshow.h>
#include <wrl/client.h>

#include "media/FrameSlot.h"
#include "media/GrabberComObject.h"

// The system's default VMR-7 allocator-presenter, or none where it is not registered.
Microsoft::WRL::ComPtr<IVMRSurfaceAllocator> CreateSystemAllocatorPresenter();

class DShowVmr7Grabber : public GrabberComObject<IVMRSurfaceAllocator, IID_IVMRSurfaceAllocator, IVMRImagePresenter,
                                                 IID_IVMRImagePresenter>,
                         public FrameSlot {
 public:
  // Forwards to the system's default allocator-presenter.
  DShowVmr7Grabber(IDirectDraw7* ddraw, IDirect3DDevice9* device);
  // Forwards to the given allocator-presenter instead (it must also be an IVMRImagePresenter);
  // without one every forwarded call and PresentImage answer E_POINTER.
  DShowVmr7Grabber(IDirectDraw7* ddraw, IDirect3DDevice9* device, IVMRSurfaceAllocator* defaultAllocator);

  // IVMRSurfaceAllocator, forwarded. AllocateSurface refuses flags the renderer does not define
  // (any bit above 0x3F) without asking the default allocator.
  HRESULT STDMETHODCALLTYPE AllocateSurface(DWORD_PTR id, VMRALLOCATIONINFO* info, DWORD* buffers,
                                            LPDIRECTDRAWSURFACE7* surface) override;
  HRESULT STDMETHODCALLTYPE FreeSurface(DWORD_PTR id) override;
  HRESULT STDMETHODCALLTYPE PrepareSurface(DWORD_PTR id, LPDIRECTDRAWSURFACE7 surface, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE AdviseNotify(IVMRSurfaceAllocatorNotify* notify) override;

  // IVMRImagePresenter: starting and stopping are forwarded, presenting is not.
  HRESULT STDMETHODCALLTYPE StartPresenting(DWORD_PTR id) override;
  HRESULT STDMETHODCALLTYPE StopPresenting(DWORD_PTR id) override;
  // Copies the surface into the poster and sets the frame event. A picture that cannot be copied
  // (another pixel layout) leaves the poster's previous picture; the frame is still announced.
  HRESULT STDMETHODCALLTYPE PresentImage(DWORD_PTR id, VMRPRESENTATIONINFO* info) override;

  // Lets go of the poster and the copy surface (before a device reset). Always true.
  bool ReleaseSurfaces();

 protected:
  ~DShowVmr7Grabber() override;

 private:
  // A system-memory surface like the presented one (without its alpha), made on first use and
  // made anew only when the presented surfaces change their size or pixel layout.
  HRESULT PrepareCopySurface(const DDSURFACEDESC2& presented);

  Microsoft::WRL::ComPtr<IDirect3DDevice9> device_;
  Microsoft::WRL::ComPtr<IDirectDraw7> ddraw_;
  Microsoft::WRL::ComPtr<IDirectDrawSurface7> copySurface_;
  Microsoft::WRL::ComPtr<IVMRSurfaceAllocator> defaultAllocator_;
  Microsoft::WRL::ComPtr<IVMRImagePresenter> defaultPresenter_;
};
