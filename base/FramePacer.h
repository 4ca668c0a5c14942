#pragma once
// The 30-frames-per-second clock of the packed-frame animation. It sleeps in whole milliseconds
// to one millisecond before each tick and spins out the rest on the counter, counts the periods
// that have passed, and keeps every tick on the grid laid down by Start so that the picture never
// drifts against the clock. The arithmetic is portable: the counter and the sleep come from a
// FrameClock (the Windows build binds the performance counter and Sleep, WindowsFrameClock.h).
#include <cstdint>

// Rates of a counter, computed once from its frequency.
struct CounterRate {
  explicit CounterRate(int64_t countsPerSecond)
      : frequency(countsPerSecond), ticksPerMillisecond(countsPerSecond / 1000) {}
  int64_t frequency;            // counts per second
  int64_t ticksPerMillisecond;  // frequency / 1000; also the margin left before a tick for spinning
};

class FrameClock {
 public:
  virtual ~FrameClock() = default;
  virtual const CounterRate& rate() const = 0;
  virtual int64_t Now() = 0;
  virtual void SleepMilliseconds(uint32_t milliseconds) = 0;
};

class FramePacer {
 public:
  static constexpr int32_t kFramesPerSecond = 30;

  explicit FramePacer(FrameClock& clock) : clock_(&clock) {}
  virtual ~FramePacer() = default;

  // Lays the grid down at this moment: the first tick is one period from now.
  void Start();
  // Waits for the next tick and returns how many periods (at least 1) have passed since the last
  // one; the caller advances its frame number by that much.
  int32_t WaitNextFrame();

  int64_t lastTick() const { return lastTick_; }
  int64_t period() const { return period_; }

 private:
  void SleepUntilMarginBefore(int64_t target, int64_t& now);

  FrameClock* clock_;
  int32_t framesPerSecond_ = kFramesPerSecond;
  int64_t lastTick_ = 0;
  int64_t period_ = 1;
};
