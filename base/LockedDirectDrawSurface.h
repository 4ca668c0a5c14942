#pragma once
// The bits of a DirectDraw surface, locked whole for the object's lifetime and unlocked when it
// goes. The one owner of a DirectDraw surface lock in the program; a failed lock leaves Result()
// failed and unlocks nothing.
#include <ddraw.h>

#include <cstddef>
#include <cstdint>

class LockedDirectDrawSurface {
 public:
  LockedDirectDrawSurface(IDirectDrawSurface7* surface, DWORD flags) : surface(surface) {
    description.dwSize = sizeof description;
    result = surface->Lock(nullptr, &description, flags, nullptr);
  }
  ~LockedDirectDrawSurface() {
    if (SUCCEEDED(result)) surface->Unlock(nullptr);
  }
  LockedDirectDrawSurface(const LockedDirectDrawSurface&) = delete;
  LockedDirectDrawSurface& operator=(const LockedDirectDrawSurface&) = delete;

  HRESULT Result() const { return result; }
  uint8_t* Bits() const { return static_cast<uint8_t*>(description.lpSurface); }
  // Bytes from one row to the next (0 when the surface did not say).
  size_t Pitch() const { return description.lPitch > 0 ? static_cast<size_t>(description.lPitch) : 0; }
  const DDSURFACEDESC2& Description() const { return description; }

 private:
  IDirectDrawSurface7* surface;
  DDSURFACEDESC2 description{};
  HRESULT result;
};
