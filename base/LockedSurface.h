#pragma once
// The bits of a Direct3D surface, locked for the object's lifetime (whole surface) and unlocked
// when it goes. The one owner of a surface lock in the program; a failed lock leaves result()
// failed and unlocks nothing.
#include <d3d9.h>

#include <cstddef>
#include <cstdint>

class LockedSurface {
 public:
  explicit LockedSurface(IDirect3DSurface9* surface, DWORD flags = 0) : surface_(surface) {
    result_ = surface->LockRect(&rect_, nullptr, flags);
  }
  ~LockedSurface() {
    if (SUCCEEDED(result_)) surface_->UnlockRect();
  }
  LockedSurface(const LockedSurface&) = delete;
  LockedSurface& operator=(const LockedSurface&) = delete;

  HRESULT result() const { return result_; }
  uint8_t* Row(UINT row) const { return static_cast<uint8_t*>(rect_.pBits) + static_cast<size_t>(rect_.Pitch) * row; }
  size_t pitch() const { return static_cast<size_t>(rect_.Pitch); }

 private:
  IDirect3DSurface9* surface_;
  D3DLOCKED_RECT rect_{};
  HRESULT result_;
};
