#pragma once
// A GDI device context onto a Direct3D surface for one scope (the surface is locked meanwhile).
#include <d3d9.h>

class SurfaceDc {
 public:
  explicit SurfaceDc(IDirect3DSurface9* surface) : surface_(surface) {
    if (surface && FAILED(surface->GetDC(&dc_))) dc_ = nullptr;
  }
  ~SurfaceDc() {
    if (dc_) surface_->ReleaseDC(dc_);
  }
  SurfaceDc(const SurfaceDc&) = delete;
  SurfaceDc& operator=(const SurfaceDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  IDirect3DSurface9* surface_;
  HDC dc_ = nullptr;
};
