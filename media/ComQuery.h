#pragma once
// QueryInterface into a counted reference with the interface id named explicitly: not every SDK
// gives the compiler a GUID for each DirectShow interface.
#include <unknwn.h>
#include <wrl/client.h>

template <typename Interface>
HRESULT QueryInto(IUnknown* object, REFIID iid, Microsoft::WRL::ComPtr<Interface>& out) {
  if (!object) return E_POINTER;
  return object->QueryInterface(iid, reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
}
