#include "media/DShowVmr9Grabber.h"

#include "base/ComReference.h"
#include "media/MediaRules.h"

using Microsoft::WRL::ComPtr;

DShowVmr9Grabber::DShowVmr9Grabber(IDirect3DDevice9* device) : FrameSlot(this), device_(device) {}

DShowVmr9Grabber::~DShowVmr9Grabber() = default;

HRESULT DShowVmr9Grabber::InitializeDevice(DWORD_PTR, VMR9AllocationInfo* info, DWORD* buffers) {
  if (!info || !buffers) return E_POINTER;
  if (*buffers == 0) return E_INVALIDARG;
  LockGuard guard(*this);
  if (!notify_) return E_UNEXPECTED;
  nativeWidth_ = info->dwWidth;
  nativeHeight_ = info->dwHeight;
  D3DCAPS9 caps;
  HRESULT hr = device_->GetDeviceCaps(&caps);
  if (FAILED(hr)) return hr;
  // Power-of-two surfaces whatever the device could do: the texture copies stay simple.
  info->dwWidth = NextPowerOfTwo(info->dwWidth);
  info->dwHeight = NextPowerOfTwo(info->dwHeight);

  ReleaseSurfaceList();
  std::vector<IDirect3DSurface9*> made(*buffers, nullptr);
  hr = notify_->AllocateSurfaceHelper(info, buffers, made.data());
  made.resize(*buffers);  // the helper may have changed the count
  surfaces_.resize(made.size());
  for (size_t i = 0; i < made.size(); ++i) surfaces_[i] = AdoptReference(made[i]);
  if (FAILED(hr)) return hr;

  std::unique_ptr<QuadTexture> texture =
      QuadTexture::CreateBlank(device_.Get(), info->dwWidth, info->dwHeight, D3DUSAGE_RENDERTARGET, info->Format);
  if (!texture) {
    DropPoster();
    return E_FAIL;
  }
  // Only the video's own area is drawn.
  texture->SetContentSize(nativeWidth_, nativeHeight_);
  NewPoster(std::move(texture));
  return S_OK;
}

HRESULT DShowVmr9Grabber::TerminateDevice(DWORD_PTR) {
  LockGuard guard(*this);
  ReleaseSurfaceList();
  surfaces_.clear();
  DropPoster();
  return S_OK;
}

HRESULT DShowVmr9Grabber::GetSurface(DWORD_PTR, DWORD index, DWORD, IDirect3DSurface9** surface) {
  if (!surface) return E_POINTER;
  LockGuard guard(*this);
  if (index >= surfaces_.size()) return E_INVALIDARG;
  // Released for a device reset and not yet allocated again: nothing to hand out.
  if (!surfaces_[index]) return E_FAIL;
  return surfaces_[index].CopyTo(surface);
}

HRESULT DShowVmr9Grabber::AdviseNotify(IVMRSurfaceAllocatorNotify9* notify) {
  LockGuard guard(*this);
  notify_ = notify;
  if (!notify_) return E_POINTER;
  ComPtr<IDirect3D9> d3d;
  const HRESULT hr = device_->GetDirect3D(d3d.GetAddressOf());
  if (FAILED(hr)) return hr;
  return notify_->SetD3DDevice(device_.Get(), d3d->GetAdapterMonitor(0));
}

HRESULT DShowVmr9Grabber::StartPresenting(DWORD_PTR) { return S_OK; }
HRESULT DShowVmr9Grabber::StopPresenting(DWORD_PTR) { return S_OK; }

HRESULT DShowVmr9Grabber::PresentImage(DWORD_PTR, VMR9PresentationInfo* info) {
  if (!info || !info->lpSurf) return E_POINTER;
  CountPresentCall();
  LockGuard guard(*this);
  if (!poster() || !poster()->texture) return E_UNEXPECTED;
  ComPtr<IDirect3DSurface9> surface(info->lpSurf);
  StampPoster(info->dwFlags, info->rtStart);
  const HRESULT hr = poster()->texture->StretchFromSurface(surface.Get());
  if (FAILED(hr)) return hr;
  AnnounceFrame();
  return S_OK;
}

bool DShowVmr9Grabber::ReleaseSurfaces() {
  LockGuard guard(*this);
  ReleaseSurfaceList();
  DropPoster();
  return true;
}

void DShowVmr9Grabber::ReleaseSurfaceList() {
  for (auto& surface : surfaces_) surface.Reset();
}
