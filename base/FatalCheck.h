#pragma once
// The program's answer to a broken invariant: the process ends at once with exit status 0 and
// shows nothing. It never waits for other threads, so it is safe from any thread, including the
// one a destructor would otherwise wait for.

// Test seam: a handler installed here runs instead of ending the process (a fuzzer or a unit test
// observes the fatal path). It must not return; throwing is allowed.
using FatalHandler = void (*)(const char* reason);
FatalHandler SetFatalHandler(FatalHandler handler);

[[noreturn]] void Fatal(const char* reason);

// For a failed Win32 call: the system's error text is formatted first (and discarded), then Fatal.
[[noreturn]] void FatalLastError(const char* reason);

inline void FatalUnless(bool ok, const char* reason) {
  if (!ok) Fatal(reason);
}
