#pragma once
// Takes over a reference that was handed out (a new COM object's first one, an out parameter's)
// into a counted reference without adding one. ComPtr::Attach means the same, but not every
// toolchain's ComPtr agrees: one adds a reference there, which leaks the object.
#include <wrl/client.h>

template <typename Interface>
Microsoft::WRL::ComPtr<Interface> AdoptReference(Interface* handedOut) {
  Microsoft::WRL::ComPtr<Interface> owner;
  *owner.GetAddressOf() = handedOut;
  return owner;
}
