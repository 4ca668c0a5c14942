#pragma once
// Ends the test program with a message when a step that must finish has not finished within a
// generous time: a hang (a deadlock under test, say) then fails the run instead of stalling it.
#include <windows.h>

#include <cstdio>

#include "base/ThreadToolkit.h"
#include "base/UniqueHandle.h"

class Watchdog {
 public:
  Watchdog(DWORD ceilingMs, const char* what) : ceilingMs_(ceilingMs), what_(what) {
    thread_.Start(
        [this] {
          if (WaitAnyFor({thread_.stopEvent()}, ceilingMs_) == nullptr) {
            std::printf("WATCHDOG: %s did not finish within %lu ms\n", what_, static_cast<unsigned long>(ceilingMs_));
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
          }
        },
        false);
  }
  ~Watchdog() { thread_.Stop(); }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  DWORD ceilingMs_;
  const char* what_;
  Thread thread_;
};
