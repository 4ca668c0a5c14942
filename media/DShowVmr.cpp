#include "media/DShowVmr.h"

#include <utility>

#include "media/ComQuery.h"
#include "media/DShowVmr9Grabber.h"

using Microsoft::WRL::ComPtr;

DShowVmrBase::~DShowVmrBase() = default;

DShowVmr9::DShowVmr9(ComPtr<IBaseFilter> vmrFilter, ComPtr<IVMRSurfaceAllocator9> grabberAllocator)
    : allocator(std::move(grabberAllocator)) {
  filter = std::move(vmrFilter);
}

DShowVmr9::~DShowVmr9() = default;

// The allocator interface is the grabber's primary base.
DShowVmr9Grabber& DShowVmr9::grabber() const { return *static_cast<DShowVmr9Grabber*>(allocator.Get()); }

bool DShowVmr9::CopyFrame(PosterFrame& frame) { return grabber().CopyFrame(frame); }

bool DShowVmr9::ReleaseSurfaces() { return grabber().ReleaseSurfaces(); }

std::unique_ptr<DShowVmr9> CreateVmr9Renderer(IDirect3DDevice9* device) {
  if (!device) return nullptr;
  ComPtr<IBaseFilter> filter;
  if (FAILED(CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, CLSCTX_ALL, IID_IBaseFilter,
                              reinterpret_cast<void**>(filter.GetAddressOf())))) {
    return nullptr;
  }
  ComPtr<IVMRFilterConfig9> config;
  if (FAILED(QueryInto(filter.Get(), IID_IVMRFilterConfig9, config))) return nullptr;
  if (FAILED(config->SetRenderingMode(VMR9Mode_Renderless))) return nullptr;
  if (FAILED(config->SetNumberOfStreams(1))) return nullptr;

  ComPtr<IVMRSurfaceAllocator9> allocator(static_cast<IVMRSurfaceAllocator9*>(new DShowVmr9Grabber(device)));
  ComPtr<IVMRSurfaceAllocatorNotify9> notify;
  if (FAILED(QueryInto(filter.Get(), IID_IVMRSurfaceAllocatorNotify9, notify))) return nullptr;
  if (FAILED(notify->AdviseSurfaceAllocator(kVmrUserId, allocator.Get()))) return nullptr;
  if (FAILED(allocator->AdviseNotify(notify.Get()))) return nullptr;
  return std::make_unique<DShowVmr9>(std::move(filter), std::move(allocator));
}

std::unique_ptr<DShowVmrBase> CreateVmr7Renderer(IDirect3DDevice9*, IDirectDraw7*) { return nullptr; }
