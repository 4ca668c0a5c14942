#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "base/FramePacer.h"

namespace {
// A counter that moves only when read (by a fixed cost) or slept on; the test decides how long a
// sleep really lasts and what happens between two waits.
class ScriptedClock : public FrameClock {
 public:
  explicit ScriptedClock(int64_t frequency) : rate_(frequency) {}

  const CounterRate& rate() const override { return rate_; }
  int64_t Now() override {
    now += readCost;
    return now;
  }
  void SleepMilliseconds(uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    now += static_cast<int64_t>(milliseconds) * rate_.ticksPerMillisecond * sleepPercent / 100 + oversleep;
    sleepEnds.push_back(now);
  }

  int64_t now = 0;
  int64_t readCost = 0;
  int64_t sleepPercent = 100;  // below 100: the sleep wakes early
  int64_t oversleep = 0;       // counts added to every sleep
  std::vector<uint32_t> sleeps;
  std::vector<int64_t> sleepEnds;

 private:
  CounterRate rate_;
};

// 30 MHz: a period of exactly 1,000,000 counts, 30,000 counts to the millisecond.
constexpr int64_t kEvenFrequency = 30'000'000;
// Wine's performance counter runs at 10 MHz, which 30 does not divide.
constexpr int64_t kWineFrequency = 10'000'000;

TEST(FramePacerTest, PeriodAndMarginFollowTheFrequency) {
  ScriptedClock clock(kWineFrequency);
  FramePacer pacer(clock);
  clock.now = 1234;
  pacer.Start();
  EXPECT_EQ(pacer.period(), kWineFrequency / 30);
  EXPECT_EQ(pacer.lastTick(), 1234);
  EXPECT_EQ(clock.rate().ticksPerMillisecond, 10'000);
}

TEST(FramePacerTest, LatenessBecomesWholePeriodsAndTheTickStaysOnTheGrid) {
  struct Case {
    int64_t countsLate;  // beyond the target, in counts of a 1,000,000-count period
    int32_t expected;
  };
  const Case cases[] = {{0, 1},         {500'000, 1},   {1'000'000, 1}, {1'000'001, 2},
                        {2'000'000, 2}, {2'500'000, 3}, {7'250'000, 8}};
  for (const Case& c : cases) {
    ScriptedClock clock(kEvenFrequency);
    FramePacer pacer(clock);
    pacer.Start();
    const int64_t period = pacer.period();
    ASSERT_EQ(period, 1'000'000);
    // The caller was busy (decoding) until past the target: no sleep at all.
    clock.now = period + c.countsLate;
    EXPECT_EQ(pacer.WaitNextFrame(), c.expected) << c.countsLate << " counts late";
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(pacer.lastTick(), c.expected * period) << c.countsLate << " counts late";
  }
}

TEST(FramePacerTest, OnePeriodLateLeavesTheNextTickDueAtOnce) {
  ScriptedClock clock(kEvenFrequency);
  FramePacer pacer(clock);
  pacer.Start();
  clock.now = 2 * pacer.period();
  ASSERT_EQ(pacer.WaitNextFrame(), 1);
  // The grid tick just passed is the target of the next wait: it returns without sleeping.
  EXPECT_EQ(pacer.WaitNextFrame(), 1);
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_EQ(pacer.lastTick(), 2 * pacer.period());
}

TEST(FramePacerTest, SleepsEndNoLaterThanOneMillisecondBeforeTheTarget) {
  ScriptedClock clock(kWineFrequency);
  clock.readCost = 3;  // each counter read costs a little, as a real one does
  FramePacer pacer(clock);
  pacer.Start();
  const int64_t margin = clock.rate().ticksPerMillisecond;
  std::mt19937 random(7);
  for (int frame = 0; frame < 200; ++frame) {
    const int64_t target = pacer.lastTick() + pacer.period();
    clock.now += random() % pacer.period();  // decoding took part of the period
    clock.sleepEnds.clear();
    ASSERT_EQ(pacer.WaitNextFrame(), 1);
    for (int64_t end : clock.sleepEnds) EXPECT_LE(end, target - margin) << "frame " << frame;
    EXPECT_GE(clock.now, target);
    EXPECT_LT(clock.now, target + margin) << "the spin ends at the target";
  }
}

TEST(FramePacerTest, OnTimeWakeUpSleepsOnceAndSpinsTheMargin) {
  ScriptedClock clock(kEvenFrequency);
  clock.readCost = 1;
  FramePacer pacer(clock);
  pacer.Start();
  const int64_t target = pacer.lastTick() + pacer.period();
  const int64_t margin = clock.rate().ticksPerMillisecond;
  ASSERT_EQ(pacer.WaitNextFrame(), 1);
  // 33.33 ms to go less the 1 ms margin: 32 whole milliseconds; under two milliseconds to go the
  // sleeps are zero (they only yield), and the last millisecond is spun out on the counter.
  ASSERT_GE(clock.sleeps.size(), 1u);
  EXPECT_EQ(clock.sleeps[0], 32u);
  for (size_t i = 1; i < clock.sleeps.size(); ++i) ASSERT_EQ(clock.sleeps[i], 0u);
  EXPECT_LE(clock.sleepEnds.back(), target - margin);
  EXPECT_EQ(pacer.lastTick(), target);
  EXPECT_EQ(clock.now, target);
}

TEST(FramePacerTest, EarlyWakeUpsSleepAgainAndStillReturnOneOnTheGrid) {
  ScriptedClock clock(kEvenFrequency);
  clock.readCost = 1;
  clock.sleepPercent = 40;  // every sleep ends well before it should
  FramePacer pacer(clock);
  pacer.Start();
  const int64_t start = pacer.lastTick();
  const int64_t margin = clock.rate().ticksPerMillisecond;
  for (int frame = 1; frame <= 5; ++frame) {
    const int64_t target = pacer.lastTick() + pacer.period();
    clock.sleepEnds.clear();
    clock.sleeps.clear();
    ASSERT_EQ(pacer.WaitNextFrame(), 1);
    EXPECT_GT(clock.sleeps.size(), 2u);
    for (int64_t end : clock.sleepEnds) EXPECT_LE(end, target - margin);
    EXPECT_EQ(pacer.lastTick(), start + frame * pacer.period());
  }
}

TEST(FramePacerTest, LongRunsWithJitterKeepTheGrid) {
  ScriptedClock clock(kWineFrequency);
  clock.readCost = 5;
  FramePacer pacer(clock);
  clock.now = 987'654'321;
  pacer.Start();
  const int64_t start = pacer.lastTick();
  const int64_t period = pacer.period();
  std::mt19937 random(11);
  int64_t frames = 0;
  // An hour at 30 frames per second: sleeps that overrun by up to 1.5 ms, and now and then a
  // decode that takes several periods.
  for (int i = 0; i < 30 * 3600; ++i) {
    clock.oversleep = random() % 15'000;
    if (random() % 500 == 0) clock.now += (random() % 4) * period;
    const int32_t n = pacer.WaitNextFrame();
    ASSERT_GE(n, 1);
    frames += n;
    ASSERT_LE(pacer.lastTick(), clock.now);
    ASSERT_GT(pacer.lastTick() + period, clock.now - period) << "the tick trails the time by at most a period";
  }
  EXPECT_EQ(pacer.lastTick(), start + frames * period) << "no drift: every tick lies on the grid of Start";
  EXPECT_LE(clock.now - pacer.lastTick(), period);
}

TEST(FramePacerTest, RestartLaysANewGridAtTheMomentOfStart) {
  ScriptedClock clock(kEvenFrequency);
  FramePacer pacer(clock);
  pacer.Start();
  clock.readCost = 1;
  clock.now = 10 * pacer.period() + 12'344;  // idle for a while; Start's own read adds one
  pacer.Start();
  EXPECT_EQ(pacer.WaitNextFrame(), 1) << "the first frame after a restart comes one period later";
  EXPECT_EQ(pacer.lastTick(), 11 * pacer.period() + 12'345);
}

TEST(FramePacerTest, AVerySlowCounterStillEndsEachWait) {
  ScriptedClock clock(20);  // slower than the frame rate: period and margin would be zero
  clock.readCost = 1;
  FramePacer pacer(clock);
  pacer.Start();
  EXPECT_GE(pacer.period(), 1);
  clock.now += 1000;
  EXPECT_EQ(pacer.WaitNextFrame(), 1000);
}
}  // namespace
