#pragma once
// The bits of a Direct3D surface, locked for the object's lifetime (whole surface) and unlocked
// when it goes. The one owner of a surface lock in the program; a failed lock leaves Result()
// failed and unlocks nothing.
#include <d3d9.h>

#include <cstddef>
#include <cstdint>

class LockedSurface {
 public:
  explicit LockedSurface(IDirect3DSurface9* surface, DWORD flags = 0) : surface(surface) {
    result = surface->LockRect(&rect, nullptr, flags);
  }
  ~LockedSurface() {
    if (SUCCEEDED(result)) surface->UnlockRect();
  }
  LockedSurface(const LockedSurface&) = delete;
  LockedSurface& operator=(const LockedSurface&) = delete;

  HRESULT Result() const { return result; }
  uint8_t* Row(UINT row) const { return static_cast<uint8_t*>(rect.pBits) + static_cast<size_t>(rect.Pitch) * row; }
  size_t Pitch() const { return static_cast<size_t>(rect.Pitch); }

 private:
  IDirect3DSurface9* surface;
  D3DLOCKED_RECT rect{};
  HRESULT result;
};
