#pragma once
// A GDI device context onto a Direct3D surface for one scope (the surface is locked meanwhile).
#include <d3d9.h>

class SurfaceDc {
 public:
  explicit SurfaceDc(IDirect3DSurface9* surface) : surface(surface) {
    if (surface && FAILED(surface->GetDC(&dc))) dc = nullptr;
  }
  ~SurfaceDc() {
    if (dc) surface->ReleaseDC(dc);
  }
  SurfaceDc(const SurfaceDc&) = delete;
  SurfaceDc& operator=(const SurfaceDc&) = delete;
  HDC Get() const { return dc; }

 private:
  IDirect3DSurface9* surface;
  HDC dc = nullptr;
};
