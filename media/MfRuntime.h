#pragma once
// Media Foundation, loaded at run time: a Windows without it (the N editions without the media
// feature pack) still starts, and only the files that need it fail to open. One object per
// process holds the libraries and one MFStartup.
#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <memory>
#include <string>

#include "base/LoadedLibrary.h"

class MfRuntime {
 public:
  // The process's runtime, loaded and started on first use; null when Media Foundation is missing
  // or does not start.
  static std::shared_ptr<MfRuntime> Load();
  MfRuntime(const MfRuntime&) = delete;
  MfRuntime& operator=(const MfRuntime&) = delete;

  HRESULT CreateAttributes(IMFAttributes** attributes, UINT32 initialSize) const {
    return createAttributes_(attributes, initialSize);
  }
  HRESULT CreateMediaType(IMFMediaType** type) const { return createMediaType_(type); }
  HRESULT CreateSourceReader(const std::wstring& url, IMFAttributes* attributes, IMFSourceReader** reader) const {
    return createSourceReader_(url.c_str(), attributes, reader);
  }

 private:
  MfRuntime() = default;
  static std::shared_ptr<MfRuntime> Start();

  LoadedLibrary platform_;
  LoadedLibrary readWrite_;
  decltype(&MFCreateAttributes) createAttributes_ = nullptr;
  decltype(&MFCreateMediaType) createMediaType_ = nullptr;
  decltype(&MFCreateSourceReaderFromURL) createSourceReader_ = nullptr;
};
