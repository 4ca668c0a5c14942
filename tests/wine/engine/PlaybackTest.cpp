#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>

#include "FaultInjectingDevice.h"
#include "HostWindow.h"
#include "TestFrameFile.h"
#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";
constexpr uint32_t kFrames = 24;  // 0.8 s at 30 frames per second

double ThreadCpuSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteTestFrameFile(kDataFile, 64, 48, kFrames,
                                   [](uint32_t frame) { return static_cast<uint8_t>(frame * 10); }));
    engine = std::make_unique<UmbraneEngine>();
    host.onDestroy = [this] { engine.reset(); };
    ASSERT_TRUE(engine->Startup(host.hwnd(), false, PlaybackStart::Immediately));
  }
  void TearDown() override {
    if (host.alive()) DestroyWindow(host.hwnd());
    DeleteFileW(kDataFile.c_str());
  }

  HostWindow host;
  std::unique_ptr<UmbraneEngine> engine;
};

TEST_F(PlaybackTest, WithoutBackgroundMediaTheAnimationLoopsAtItsOwnPace) {
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().lastDrawnFrame >= 0; }, 5000));
  std::set<int64_t> seen;
  int wraps = 0;
  int64_t previous = engine->statistics().lastDrawnFrame;
  HANDLE playbackThread = engine->playbackThread()->handle();
  const double cpuBefore = ThreadCpuSeconds(playbackThread);
  const uint32_t restartsBefore = engine->statistics().restarts;
  const DWORD start = GetTickCount();
  // Three full runs of the 0.8 s animation; a loaded machine (two test streams on two cores, a
  // software rasteriser) may take longer, so the wait is for the runs, not for a fixed time.
  const bool ran = HostWindow::PumpUntil(
      [&] {
        const int64_t frame = engine->statistics().lastDrawnFrame;
        if (frame < previous) ++wraps;
        previous = frame;
        seen.insert(frame);
        return wraps >= 3;
      },
      60000);
  const double seconds = (GetTickCount() - start) / 1000.0;
  const double cpuShare = (ThreadCpuSeconds(playbackThread) - cpuBefore) / seconds;
  const uint32_t restarts = engine->statistics().restarts - restartsBefore;
  ASSERT_TRUE(ran) << wraps << " runs of the animation in 60 s";
  // The animation walks through its frames. Frames the clock finds late are skipped, which on a
  // loaded machine is a good share of them (and this thread may look late too), so this asks only
  // that a good number of them showed, not one frame or two.
  EXPECT_GE(seen.size(), kFrames / 4);
  // One restart per run of the animation: trading restart events with the producer without a pause
  // would make thousands. A run never takes less than its 24 periods, and this thread may miss
  // seeing a wrap when it is kept waiting, so the bound comes from the time that passed.
  EXPECT_GE(restarts, 3u);
  EXPECT_LE(restarts, static_cast<uint32_t>(seconds / (kFrames / 30.0)) + 2u);
  EXPECT_LT(cpuShare, 0.5) << "share of one core the playback thread used";
  std::printf("playback thread: %.1f %% of a core, three runs in %.2f s\n", cpuShare * 100, seconds);
}

// Loses the engine's device (wrapped so that it can be lost on demand) while frames 5 to 14 play,
// and waits until the loop has ended and the recovery timer runs. Returns the saved frame.
int64_t LoseDeviceWhilePlaying(UmbraneEngine& engine, FaultInjectingDevice& wrapper, HRESULT firstResetFailure) {
  engine.InterposeDevice(&wrapper);
  HostWindow::Pump(50);
  EXPECT_TRUE(HostWindow::PumpUntil(
      [&] { return engine.statistics().lastDrawnFrame >= 5 && engine.statistics().lastDrawnFrame < 15; }, 20000));
  wrapper.LoseDevice(/*lostChecks=*/1, firstResetFailure);
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return engine.recoveryTimerId() != 0; }, 10000));
  return engine.resumePosition();
}

// After the recovery the new loop's first frame is drawn and then held at the present gate, so
// that the test sees it however busy the machine is; the gate opens again before returning.
void ExpectResumedAt(UmbraneEngine& engine, FaultInjectingDevice& wrapper, int64_t lostAt) {
  const int presentsBefore = wrapper.presentsArrived;
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return wrapper.presentsArrived > presentsBefore; }, 10000));
  const int64_t resumedAt = engine.statistics().lastDrawnFrame;
  wrapper.OpenGate();
  EXPECT_GE(resumedAt, lostAt) << "the new loop starts from the saved frame, not from the beginning";
  // Frames the clock finds late are skipped, so a busy machine may have moved on a little.
  EXPECT_LT(resumedAt, lostAt + 10);
  const int presentsNow = wrapper.presents;
  EXPECT_TRUE(HostWindow::PumpUntil(
      [&] { return wrapper.presents > presentsNow && engine.statistics().lastDrawnFrame != resumedAt; }, 20000))
      << "playback goes on after the recovery";
}

TEST_F(PlaybackTest, ALostDeviceIsRecoveredAndPlaybackResumesAtTheSameFrame) {
  FaultInjectingDevice wrapper(engine->device());
  const int64_t lostAt = LoseDeviceWhilePlaying(*engine, wrapper, D3DERR_INVALIDCALL);
  EXPECT_GE(lostAt, 5);
  // The loop ended after posting the loss; nothing plays while the device stays lost.
  const int64_t drawnBefore = engine->statistics().lastDrawnFrame;
  EXPECT_LE(drawnBefore, lostAt);
  // A second loss restarts the one timer rather than adding another.
  PostMessageW(host.hwnd(), DeviceLostMessage, 0, 0);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return wrapper.cooperativeLevelChecks >= 1; }, 10000));
  EXPECT_EQ(wrapper.cooperativeLevelChecks, 1) << "one check per tick: lost";
  EXPECT_EQ(engine->recoveryTimerId(), 1u);
  EXPECT_EQ(engine->statistics().lastDrawnFrame, drawnBefore);

  // Next ticks: not reset, but the reset fails with the invalid-call error; then it succeeds.
  wrapper.CloseGate();
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() == 0; }, 20000));
  EXPECT_EQ(wrapper.resets, 2);
  ExpectResumedAt(*engine, wrapper, lostAt);
  // The engine must let go of the wrapper before it goes out of scope.
  DestroyWindow(host.hwnd());
}

TEST_F(PlaybackTest, LostAgainDuringTheResetTheSaverTriesAgainOnTheNextTick) {
  FaultInjectingDevice wrapper(engine->device());
  engine->InterposeDevice(&wrapper);
  int expectedResets = 0;
  for (const HRESULT failure : {D3DERR_DEVICELOST, D3DERR_OUTOFVIDEOMEMORY}) {
    const int64_t lostAt = LoseDeviceWhilePlaying(*engine, wrapper, failure);
    wrapper.CloseGate();
    ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() == 0; }, 20000)) << std::hex << failure;
    EXPECT_TRUE(host.alive());
    expectedResets += 2;
    EXPECT_EQ(wrapper.resets, expectedResets) << "the failed reset is tried again, " << std::hex << failure;
    ExpectResumedAt(*engine, wrapper, lostAt);
  }
  DestroyWindow(host.hwnd());
}

}  // namespace
