#pragma once
// The bits of a DirectDraw surface, locked whole for the object's lifetime and unlocked when it
// goes. The one owner of a DirectDraw surface lock in the program; a failed lock leaves result()
// failed and unlocks nothing.
#include <ddraw.h>

#include <cstddef>
#include <cstdint>

class LockedDirectDrawSurface {
 public:
  LockedDirectDrawSurface(IDirectDrawSurface7* surface, DWORD flags) : surface_(surface) {
    description_.dwSize = sizeof description_;
    result_ = surface->Lock(nullptr, &description_, flags, nullptr);
  }
  ~LockedDirectDrawSurface() {
    if (SUCCEEDED(result_)) surface_->Unlock(nullptr);
  }
  LockedDirectDrawSurface(const LockedDirectDrawSurface&) = delete;
  LockedDirectDrawSurface& operator=(const LockedDirectDrawSurface&) = delete;

  HRESULT result() const { return result_; }
  uint8_t* Bits() const { return static_cast<uint8_t*>(description_.lpSurface); }
  // Bytes from one row to the next (0 when the surface did not say).
  size_t pitch() const { return description_.lPitch > 0 ? static_cast<size_t>(description_.lPitch) : 0; }
  const DDSURFACEDESC2& Description() const { return description_; }

 private:
  IDirectDrawSurface7* surface_;
  DDSURFACEDESC2 description_{};
  HRESULT result_;
};
