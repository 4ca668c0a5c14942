#include "media/DShowVmr7Grabber.h"

#include "media/ComQuery.h"

using Microsoft::WRL::ComPtr;

namespace {
// The allocation flags the renderer defines (AMAP_PIXELFORMAT_VALID to AMAP_DXVA_TARGET).
constexpr DWORD kKnownAllocationFlags = 0x3F;

bool SameSurfaceKind(const DDSURFACEDESC2& a, const DDSURFACEDESC2& b) {
  const DDPIXELFORMAT& x = a.ddpfPixelFormat;
  const DDPIXELFORMAT& y = b.ddpfPixelFormat;
  return a.dwWidth == b.dwWidth && a.dwHeight == b.dwHeight && x.dwFourCC == y.dwFourCC &&
         x.dwRGBBitCount == y.dwRGBBitCount && x.dwRBitMask == y.dwRBitMask && x.dwGBitMask == y.dwGBitMask &&
         x.dwBBitMask == y.dwBBitMask && (x.dwFlags & ~DDPF_ALPHAPIXELS) == (y.dwFlags & ~DDPF_ALPHAPIXELS);
}

DDSURFACEDESC2 DescriptionOf(IDirectDrawSurface7* surface, HRESULT& hr) {
  DDSURFACEDESC2 description{};
  description.dwSize = sizeof description;
  hr = surface->GetSurfaceDesc(&description);
  return description;
}
}  // namespace

ComPtr<IVMRSurfaceAllocator> CreateSystemAllocatorPresenter() {
  ComPtr<IVMRSurfaceAllocator> allocator;
  CoCreateInstance(CLSID_AllocPresenter, nullptr, CLSCTX_ALL, IID_IVMRSurfaceAllocator,
                   reinterpret_cast<void**>(allocator.GetAddressOf()));
  return allocator;
}

DShowVmr7Grabber::DShowVmr7Grabber(IDirectDraw7* ddraw, IDirect3DDevice9* device)
    : DShowVmr7Grabber(ddraw, device, CreateSystemAllocatorPresenter().Get()) {}

DShowVmr7Grabber::DShowVmr7Grabber(IDirectDraw7* ddraw, IDirect3DDevice9* device,
                                   IVMRSurfaceAllocator* defaultAllocator)
    : FrameSlot(this), device_(device), ddraw_(ddraw), defaultAllocator_(defaultAllocator) {
  // Both interfaces of one object, or neither.
  if (defaultAllocator_ && FAILED(QueryInto(defaultAllocator_.Get(), IID_IVMRImagePresenter, defaultPresenter_))) {
    defaultAllocator_.Reset();
  }
}

DShowVmr7Grabber::~DShowVmr7Grabber() = default;

HRESULT DShowVmr7Grabber::AllocateSurface(DWORD_PTR id, VMRALLOCATIONINFO* info, DWORD* buffers,
                                          LPDIRECTDRAWSURFACE7* surface) {
  if (!defaultAllocator_) return E_POINTER;
  if (info && (info->dwFlags & ~kKnownAllocationFlags) != 0) return E_INVALIDARG;
  return defaultAllocator_->AllocateSurface(id, info, buffers, surface);
}

HRESULT DShowVmr7Grabber::FreeSurface(DWORD_PTR id) {
  return defaultAllocator_ ? defaultAllocator_->FreeSurface(id) : E_POINTER;
}

HRESULT DShowVmr7Grabber::PrepareSurface(DWORD_PTR id, LPDIRECTDRAWSURFACE7 surface, DWORD flags) {
  return defaultAllocator_ ? defaultAllocator_->PrepareSurface(id, surface, flags) : E_POINTER;
}

HRESULT DShowVmr7Grabber::AdviseNotify(IVMRSurfaceAllocatorNotify* notify) {
  return defaultAllocator_ ? defaultAllocator_->AdviseNotify(notify) : E_POINTER;
}

HRESULT DShowVmr7Grabber::StartPresenting(DWORD_PTR id) {
  return defaultPresenter_ ? defaultPresenter_->StartPresenting(id) : E_POINTER;
}

HRESULT DShowVmr7Grabber::StopPresenting(DWORD_PTR id) {
  return defaultPresenter_ ? defaultPresenter_->StopPresenting(id) : E_POINTER;
}

HRESULT DShowVmr7Grabber::PrepareCopySurface(const DDSURFACEDESC2& presented) {
  if (copySurface_) {
    HRESULT hr;
    const DDSURFACEDESC2 current = DescriptionOf(copySurface_.Get(), hr);
    if (SUCCEEDED(hr) && SameSurfaceKind(current, presented)) return S_OK;
    copySurface_.Reset();
  }
  DDSURFACEDESC2 wanted{};
  wanted.dwSize = sizeof wanted;
  wanted.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  wanted.dwWidth = presented.dwWidth;
  wanted.dwHeight = presented.dwHeight;
  wanted.ddpfPixelFormat = presented.ddpfPixelFormat;
  wanted.ddpfPixelFormat.dwFlags &= ~DDPF_ALPHAPIXELS;
  wanted.ddpfPixelFormat.dwRGBAlphaBitMask = 0;
  wanted.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  return ddraw_->CreateSurface(&wanted, copySurface_.GetAddressOf(), nullptr);
}

HRESULT DShowVmr7Grabber::PresentImage(DWORD_PTR, VMRPRESENTATIONINFO* info) {
  if (!defaultPresenter_) return E_POINTER;
  if (!info || !info->lpSurf) return E_INVALIDARG;
  CountPresentCall();
  HRESULT hr;
  const DDSURFACEDESC2 presented = DescriptionOf(info->lpSurf, hr);
  if (FAILED(hr)) return hr;

  LockGuard guard(*this);
  hr = PrepareCopySurface(presented);
  if (FAILED(hr)) return hr;
  // The presented surface lives in video memory: one Blt takes it into system memory.
  const bool copied = SUCCEEDED(copySurface_->Blt(nullptr, info->lpSurf, nullptr, DDBLT_WAIT, nullptr));
  if (!poster()) {
    const DDSURFACEDESC2 copy = DescriptionOf(copySurface_.Get(), hr);
    if (FAILED(hr)) return hr;
    std::unique_ptr<QuadTexture> texture =
        QuadTexture::CreateBlank(device_.Get(), copy.dwWidth, copy.dwHeight, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
    if (!texture) return E_FAIL;
    NewPoster(std::move(texture));
  }
  StampPoster(info->dwFlags, info->rtStart);
  // A picture that cannot be taken over keeps the previous one; the frame still counts.
  if (copied) poster()->texture->CopyFromDirectDrawSurface(copySurface_.Get());
  AnnounceFrame();
  return S_OK;
}

bool DShowVmr7Grabber::ReleaseSurfaces() {
  LockGuard guard(*this);
  DropPoster();
  copySurface_.Reset();
  return true;
}
