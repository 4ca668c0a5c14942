#pragma once
// The allocator-presenter of a renderless VMR-9: the renderer draws each video frame into
// surfaces of the engine's device that this object allocates, and presents it here; the frame is
// copied into the grabber's poster (its frame slot), stamped with its time, and the frame event is
// set. The render thread then copies the newest frame with CopyFrame.
//
// A COM object with its own reference count, deleting itself when the last reference goes.
// The renderer calls it from its streaming threads; the slot's lock (re-entrant) guards the
// poster, its texture, the surfaces, the notify interface and the frame event.
#include <windows.h>
#include <d3d9.h>
#include <dshow.h>
#include <vmr9.h>
#include <wrl/client.h>

#include <vector>

#include "media/FrameSlot.h"
#include "media/GrabberComObject.h"

class DShowVmr9Grabber : public GrabberComObject<IVMRSurfaceAllocator9, IID_IVMRSurfaceAllocator9, IVMRImagePresenter9,
                                                 IID_IVMRImagePresenter9>,
                         public FrameSlot {
 public:
  explicit DShowVmr9Grabber(IDirect3DDevice9* device);

  // IVMRSurfaceAllocator9. Sizes are rounded up to powers of two; the poster's texture keeps the
  // video's own size as its content size.
  HRESULT STDMETHODCALLTYPE InitializeDevice(DWORD_PTR id, VMR9AllocationInfo* info, DWORD* buffers) override;
  HRESULT STDMETHODCALLTYPE TerminateDevice(DWORD_PTR id) override;
  HRESULT STDMETHODCALLTYPE GetSurface(DWORD_PTR id, DWORD index, DWORD flags, IDirect3DSurface9** surface) override;
  HRESULT STDMETHODCALLTYPE AdviseNotify(IVMRSurfaceAllocatorNotify9* notify) override;

  // IVMRImagePresenter9
  HRESULT STDMETHODCALLTYPE StartPresenting(DWORD_PTR id) override;
  HRESULT STDMETHODCALLTYPE StopPresenting(DWORD_PTR id) override;
  HRESULT STDMETHODCALLTYPE PresentImage(DWORD_PTR id, VMR9PresentationInfo* info) override;

  // Lets go of everything on the device (before it is reset): the surfaces (the list keeps its
  // length) and the poster. Always true.
  bool ReleaseSurfaces();

 protected:
  ~DShowVmr9Grabber() override;

 private:
  void ReleaseSurfaceList();

  Microsoft::WRL::ComPtr<IDirect3DDevice9> device_;
  std::vector<Microsoft::WRL::ComPtr<IDirect3DSurface9>> surfaces_;
  UINT nativeWidth_ = 0;
  UINT nativeHeight_ = 0;
  Microsoft::WRL::ComPtr<IVMRSurfaceAllocatorNotify9> notify_;
};
