#include "media/MfRuntime.h"

namespace {
template <typename Function>
bool Resolve(const LoadedLibrary& library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library.get(), name)));
  return function != nullptr;
}
}  // namespace

std::shared_ptr<MfRuntime> MfRuntime::Start() {
  std::shared_ptr<MfRuntime> runtime(new MfRuntime);
  runtime->platform_.reset(LoadLibraryW(L"mfplat.dll"));
  runtime->readWrite_.reset(LoadLibraryW(L"mfreadwrite.dll"));
  if (!runtime->platform_ || !runtime->readWrite_) return nullptr;
  decltype(&MFStartup) startup = nullptr;
  if (!Resolve(runtime->platform_, "MFStartup", startup) ||
      !Resolve(runtime->platform_, "MFCreateAttributes", runtime->createAttributes_) ||
      !Resolve(runtime->platform_, "MFCreateMediaType", runtime->createMediaType_) ||
      !Resolve(runtime->readWrite_, "MFCreateSourceReaderFromURL", runtime->createSourceReader_)) {
    return nullptr;
  }
  if (FAILED(startup(MF_VERSION, MFSTARTUP_LITE))) return nullptr;
  return runtime;
}

std::shared_ptr<MfRuntime> MfRuntime::Load() {
  // Started once and kept for the life of the process, never shut down: a shutdown and a new
  // start leave some systems' readers (Wine's) hanging in every later open, and a reader abandoned
  // on a file that never opened may still be inside the libraries at any time.
  static const std::shared_ptr<MfRuntime>* const kept = new std::shared_ptr<MfRuntime>(Start());
  return *kept;
}
