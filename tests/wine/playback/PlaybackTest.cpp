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
    ASSERT_TRUE(WriteTestFrameFile(kDataFile, 64, 48, kFrames, [](uint32_t frame) { return static_cast<uint8_t>(frame * 10); }));
    engine = std::make_unique<UmbraneEngine>();
    host.onDestroy = [this] { engine.reset(); };
    ASSERT_TRUE(engine->Startup(host.hwnd(), false));
  }
  void TearDown() override {
    if (host.alive()) DestroyWindow(host.hwnd());
    DeleteFileW(kDataFile.c_str());
  }

  HostWindow host;
  std::unique_ptr<UmbraneEngine> engine;
};

TEST_F(PlaybackTest, WithoutBackgroundMediaTheAnimationLoopsAtItsOwnPace) {
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->lastDrawnFrame >= 0; }, 5000));
  std::set<int64_t> seen;
  int wraps = 0;
  int64_t previous = engine->lastDrawnFrame;
  HANDLE playbackThread = engine->playbackThread->handle();
  const double cpuBefore = ThreadCpuSeconds(playbackThread);
  const uint32_t restartsBefore = engine->restarts;
  const DWORD start = GetTickCount();
  // Three full runs of the 0.8 s animation; a loaded machine (two test streams on two cores, a
  // software rasteriser) may take longer, so the wait is for the runs, not for a fixed time.
  const bool ran = HostWindow::PumpUntil(
      [&] {
        const int64_t frame = engine->lastDrawnFrame;
        if (frame < previous) ++wraps;
        previous = frame;
        seen.insert(frame);
        return wraps >= 3;
      },
      20000);
  const double seconds = (GetTickCount() - start) / 1000.0;
  const double cpuShare = (ThreadCpuSeconds(playbackThread) - cpuBefore) / seconds;
  const uint32_t restarts = engine->restarts - restartsBefore;
  ASSERT_TRUE(ran) << wraps << " runs of the animation in 20 s";
  // The animation walks through its frames. Frames the clock finds late are skipped, which on a
  // loaded machine is a good share of them, so this asks only that most of them showed.
  EXPECT_GE(seen.size(), kFrames / 2);
  // One restart per run of the animation: trading restart events with the producer without a pause
  // would make thousands.
  EXPECT_GE(restarts, 3u);
  EXPECT_LE(restarts, 5u);
  EXPECT_LT(cpuShare, 0.5) << "share of one core the playback thread used";
  std::printf("playback thread: %.1f %% of a core, three runs in %.2f s\n", cpuShare * 100, seconds);
}

TEST_F(PlaybackTest, ALostDeviceIsRecoveredAndPlaybackResumesAtTheSameFrame) {
  // The engine's own device, wrapped so that it can be lost on demand.
  FaultInjectingDevice wrapper(engine->device.Get());
  engine->device = &wrapper;
  HostWindow::Pump(50);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->lastDrawnFrame >= 5 && engine->lastDrawnFrame < 15; }, 5000));

  wrapper.LoseDevice(/*lostChecks=*/1, /*failFirstReset=*/true);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId != 0; }, 2000));
  const int64_t lostAt = engine->resumePosition;
  EXPECT_GE(lostAt, 5);
  // The loop ended after posting the loss; nothing plays while the device stays lost.
  const int64_t drawnBefore = engine->lastDrawnFrame;
  EXPECT_LE(drawnBefore, lostAt);
  // A second loss restarts the one timer rather than adding another.
  PostMessageW(host.hwnd(), DeviceLostMessage, 0, 0);
  HostWindow::Pump(1500);
  EXPECT_EQ(engine->recoveryTimerId, 1u);
  EXPECT_EQ(wrapper.cooperativeLevelChecks, 1) << "one check per second: lost";
  EXPECT_EQ(engine->lastDrawnFrame, drawnBefore);

  engine->lastDrawnFrame = -1;
  // Next ticks: not reset, but the reset fails with the invalid-call error; then it succeeds.
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId == 0; }, 4000));
  EXPECT_EQ(wrapper.resets, 2);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->lastDrawnFrame >= 0; }, 3000));
  const int64_t resumedAt = engine->lastDrawnFrame;
  EXPECT_GE(resumedAt, lostAt);
  EXPECT_LE(resumedAt, lostAt + 1);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return wrapper.presents > 0 && engine->lastDrawnFrame > resumedAt; }, 3000))
      << "playback goes on after the recovery";
  // The engine must let go of the wrapper before it goes out of scope.
  DestroyWindow(host.hwnd());
}

}  // namespace
