#include "media/MediaTypeCopy.h"

#include <cstring>

HRESULT CopyMediaTypeTo(const AM_MEDIA_TYPE& source, AM_MEDIA_TYPE* target) {
  if (!target) return E_POINTER;
  *target = source;
  target->pUnk = nullptr;
  target->pbFormat = nullptr;
  target->cbFormat = 0;
  if (source.cbFormat == 0 || !source.pbFormat) return S_OK;
  target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
  if (!target->pbFormat) return E_OUTOFMEMORY;
  std::memcpy(target->pbFormat, source.pbFormat, source.cbFormat);
  target->cbFormat = source.cbFormat;
  return S_OK;
}

AM_MEDIA_TYPE* NewMediaTypeCopy(const AM_MEDIA_TYPE& source) {
  HandedOutMediaType copy(static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE))));
  if (!copy) return nullptr;
  std::memset(copy.get(), 0, sizeof(AM_MEDIA_TYPE));
  if (FAILED(CopyMediaTypeTo(source, copy.get()))) return nullptr;
  return copy.release();
}

void HandedOutMediaTypeFree::operator()(AM_MEDIA_TYPE* type) const {
  CoTaskMemFree(type->pbFormat);
  if (type->pUnk) type->pUnk->Release();
  CoTaskMemFree(type);
}

bool MediaTypeAdmits(const AM_MEDIA_TYPE& wanted, const AM_MEDIA_TYPE& ours) {
  const auto admits = [](const GUID& w, const GUID& o) { return w == GUID_NULL || w == o; };
  return admits(wanted.majortype, ours.majortype) && admits(wanted.subtype, ours.subtype) &&
         admits(wanted.formattype, ours.formattype);
}
