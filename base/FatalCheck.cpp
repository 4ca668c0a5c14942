#include "base/FatalCheck.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include "base/SystemErrorText.h"
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
  SystemErrorText(GetLastError());
#endif
  Fatal(reason);
}
