#include "engine/base/FatalCheck.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {
std::atomic<FatalHandler> installedHandler{nullptr};

[[noreturn]] void EndProcessNow() {
  std::fflush(nullptr);
#ifdef _WIN32
  // TerminateProcess neither runs static destructors nor waits for threads: a destructor that
  // stops the playback thread must not run while that thread is the one ending the process.
  TerminateProcess(GetCurrentProcess(), 0);
#endif
  _exit(0);
}
}  // namespace

FatalHandler SetFatalHandler(FatalHandler handler) { return installedHandler.exchange(handler); }

void Fatal(const char* reason) {
  if (FatalHandler handler = installedHandler.load()) {
    handler(reason);
  }
  EndProcessNow();
}

void FatalLastError(const char* reason) {
#ifdef _WIN32
  const DWORD error = GetLastError();
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  LocalFree(text);
#endif
  Fatal(reason);
}
