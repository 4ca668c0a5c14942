#include "base/WindowsFrameClock.h"

#include <windows.h>

#include "base/FatalCheck.h"

namespace {
int64_t QueryFrequency() {
  LARGE_INTEGER frequency{};
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) FatalLastError("QueryPerformanceFrequency");
  return frequency.QuadPart;
}

class PerformanceCounterClock : public FrameClock {
 public:
  PerformanceCounterClock() : rate_(QueryFrequency()) {}
  const CounterRate& rate() const override { return rate_; }
  int64_t Now() override {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
  }
  void SleepMilliseconds(uint32_t milliseconds) override { Sleep(milliseconds); }

 private:
  const CounterRate rate_;
};
}  // namespace

FrameClock& WindowsFrameClock() {
  static PerformanceCounterClock clock;  // made on first use, by whichever thread comes first
  return clock;
}
