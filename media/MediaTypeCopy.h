#pragma once
// DirectShow media types as a filter of our own hands them out: every copy's format block in COM
// task memory, as the receiver frees it.
#include <windows.h>
#include <dshow.h>

#include <memory>
#include <vector>

#include "base/CoTaskMemory.h"

// A media type with its format block, owned by value.
struct OwnedMediaType {
  AM_MEDIA_TYPE type{};
  std::vector<BYTE> format;

  // The type with format's bytes as its block.
  const AM_MEDIA_TYPE& Get() {
    type.cbFormat = static_cast<ULONG>(format.size());
    type.pbFormat = format.empty() ? nullptr : format.data();
    return type;
  }
};

// Fills target with a copy whose format block is in COM task memory; the object reference is
// not copied (ours never carry one).
HRESULT CopyMediaTypeTo(const AM_MEDIA_TYPE& source, AM_MEDIA_TYPE* target);
// A copy in COM task memory, the structure included; null when memory runs out.
AM_MEDIA_TYPE* NewMediaTypeCopy(const AM_MEDIA_TYPE& source);

// Frees a media type handed out in COM task memory (IMediaSample::GetMediaType's): its format
// block, its object reference, the structure.
struct HandedOutMediaTypeFree {
  void operator()(AM_MEDIA_TYPE* type) const;
};
using HandedOutMediaType = std::unique_ptr<AM_MEDIA_TYPE, HandedOutMediaTypeFree>;

// Whether a partly given type (GUID_NULL fields match anything) admits ours.
bool MediaTypeAdmits(const AM_MEDIA_TYPE& wanted, const AM_MEDIA_TYPE& ours);
