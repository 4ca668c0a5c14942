#include "media/MfRuntime.h"

namespace {
template <typename Function>
bool Resolve(const LoadedLibrary& library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library.get(), name)));
  return function != nullptr;
}
}  // namespace

std::shared_ptr<MfRuntime> MfRuntime::Load() {
  std::shared_ptr<MfRuntime> runtime(new MfRuntime);
  runtime->platform_.reset(LoadLibraryW(L"mfplat.dll"));
  runtime->readWrite_.reset(LoadLibraryW(L"mfreadwrite.dll"));
  if (!runtime->platform_ || !runtime->readWrite_) return nullptr;
  decltype(&MFStartup) startup = nullptr;
  decltype(&MFShutdown) shutdown = nullptr;
  if (!Resolve(runtime->platform_, "MFStartup", startup) || !Resolve(runtime->platform_, "MFShutdown", shutdown) ||
      !Resolve(runtime->platform_, "MFCreateAttributes", runtime->createAttributes_) ||
      !Resolve(runtime->platform_, "MFCreateMediaType", runtime->createMediaType_) ||
      !Resolve(runtime->readWrite_, "MFCreateSourceReaderFromURL", runtime->createSourceReader_)) {
    return nullptr;
  }
  if (FAILED(startup(MF_VERSION, MFSTARTUP_LITE))) return nullptr;
  // Only a runtime that started shuts down.
  runtime->shutdown_ = shutdown;
  return runtime;
}

MfRuntime::~MfRuntime() {
  if (shutdown_) shutdown_();
}
