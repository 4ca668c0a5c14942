#include "base/FramePacer.h"

#include <limits>

void FramePacer::Start() {
  framesPerSecond_ = kFramesPerSecond;
  lastTick_ = clock_->Now();
  // A counter slower than the frame rate would give a zero period and an endless count below.
  const int64_t period = clock_->rate().frequency / framesPerSecond_;
  period_ = period > 0 ? period : 1;
}

void FramePacer::SleepUntilMarginBefore(int64_t target, int64_t& now) {
  const CounterRate& rate = clock_->rate();
  const int64_t margin = rate.ticksPerMillisecond;
  while (now < target) {
    const int64_t remaining = target - now;
    if (remaining > margin && rate.ticksPerMillisecond > 0) {
      const int64_t milliseconds = (remaining - margin) / rate.ticksPerMillisecond;
      clock_->SleepMilliseconds(static_cast<uint32_t>(
          milliseconds < std::numeric_limits<uint32_t>::max() ? milliseconds : std::numeric_limits<uint32_t>::max()));
    }
    now = clock_->Now();
  }
}

int32_t FramePacer::WaitNextFrame() {
  const int64_t target = lastTick_ + period_;
  int64_t now = clock_->Now();
  SleepUntilMarginBefore(target, now);

  // Whole periods beyond the first are frames to skip; what is left of the lateness (at most one
  // period) is taken off so that the tick stays on the grid.
  int64_t late = now - target;
  int64_t periods = 1;
  if (late > period_) {
    const int64_t skipped = (late - 1) / period_;
    late -= skipped * period_;
    periods += skipped;
  }
  lastTick_ = now - late;
  constexpr int64_t kMostPeriods = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(periods < kMostPeriods ? periods : kMostPeriods);
}
