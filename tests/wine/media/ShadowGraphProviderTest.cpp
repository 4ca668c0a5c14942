// The frame producer on a real device: what it publishes, when, and how it ends. Timing checks
// are one-sided where the clock guarantees them (never early) and generous where only the load of
// the machine decides (never much late).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/wine/media/ProducerTestSupport.h"
#include "tests/wine/support/AllocationCounter.h"

namespace {
// Far beyond any frame's lateness on a loaded machine, far below a hung test.
constexpr DWORD kPatienceMs = 10000;
// How far behind the clock a frame may be published when the machine is busy; the clock itself
// never lets a frame come early, which is checked exactly.
constexpr double kLatenessCeilingMs = 3000;

struct Published {
  int32_t frame;
  double atMs;
};

// Collects the published frames until the animation ends (or `limit` frames). A busy test thread
// may wake late: the frame it reads can be newer than the announcement it woke for, whose own
// announcement then comes too, and the end may be set before the last frame's announcement is
// taken (the wait reports the end first). So each frame is taken once, and at the end a leftover
// announcement is taken too: nothing left over is mistaken for a frame published after the end.
std::vector<Published> CollectUntilEnded(ShadowGraphProvider& producer, HANDLE ready, HANDLE ended, size_t limit) {
  std::vector<Published> frames;
  auto take = [&] {
    const int32_t frame = producer.currentFrame();
    if (frames.empty() || frames.back().frame != frame) frames.push_back({frame, NowMs()});
  };
  while (frames.size() < limit) {
    const HANDLE signalled = WaitAnyFor({ended, ready}, kPatienceMs);
    if (signalled == ended && WaitForSingleObject(ready, 0) == WAIT_OBJECT_0) take();
    if (signalled != ready) break;
    take();
  }
  return frames;
}

TEST_F(ProducerTest, PublishesTheFirstFrameBeforeItSaysItStartedAndTheNextOnePeriodAfterResume) {
  OpenFrames(6);
  auto producer = MakeProducer(0);
  producer->WaitUntilStarted();
  EXPECT_TRUE(Signalled(ready.get())) << "frame 0 is announced before the start is";
  EXPECT_EQ(producer->currentFrame(), 0);
  EXPECT_EQ(producer->frameCount(), 6);
  EXPECT_TRUE(TexturesShow(*producer, 0, 100));

  // Idle until let run: nothing more arrives.
  EXPECT_FALSE(WaitFor(ready.get(), 150));

  const double resumedAt = NowMs();
  producer->Resume();
  ASSERT_TRUE(WaitFor(ready.get(), kPatienceMs));
  const double shownAfter = NowMs() - resumedAt;
  EXPECT_EQ(producer->currentFrame(), 1);
  EXPECT_GE(shownAfter, PeriodMs() - 0.01) << "one period after Resume, not at once";
  EXPECT_LT(shownAfter, PeriodMs() + kLatenessCeilingMs);
  EXPECT_TRUE(TexturesShow(*producer, 1, 100));
}

TEST_F(ProducerTest, RunsOnTheClockToTheLastFrameThenEndsAndFallsSilent) {
  OpenFrames(20);
  auto producer = MakeProducer(0);
  producer->WaitUntilStarted();
  ASSERT_TRUE(Signalled(ready.get()));

  const double resumedAt = NowMs();
  producer->Resume();
  const std::vector<Published> frames = CollectUntilEnded(*producer, ready.get(), ended.get(), 100);
  ASSERT_FALSE(frames.empty());
  int32_t previous = 0;
  for (const Published& p : frames) {
    EXPECT_GT(p.frame, previous) << "frames only move forward";
    // Frame f is due f periods after the clock started, which was after Resume: never earlier.
    EXPECT_GE(p.atMs - resumedAt, p.frame * PeriodMs() - 0.01) << "frame " << p.frame << " came early";
    // Late frames are skipped, so the frame number keeps up with the time.
    EXPECT_LT(p.atMs - resumedAt, p.frame * PeriodMs() + kLatenessCeilingMs) << "frame " << p.frame << " fell behind";
    previous = p.frame;
  }
  EXPECT_EQ(frames.back().frame, 19) << "the last frame is shown before the end";
  // Late frames are skipped by design, and a busy machine makes many late; running frame by frame
  // still shows several of the twenty.
  EXPECT_GE(frames.size(), 3u);
  EXPECT_FALSE(WaitFor(ready.get(), 200)) << "idle after the end";
  EXPECT_EQ(producer->currentFrame(), frames.back().frame);
}

TEST_F(ProducerTest, PublishingFrameAfterFrameAllocatesNothing) {
  OpenFrames(40);
  auto producer = MakeProducer(0);
  producer->WaitUntilStarted();
  producer->Resume();
  ASSERT_TRUE(WaitFor(ready.get(), 5000));  // the first: the producer has set itself up
  ASSERT_TRUE(WaitFor(ready.get(), 5000));
  // Nothing but waits on this thread meanwhile: every allocation would be the producer's.
  const long before = AllocationCount();
  ASSERT_TRUE(WaitFor(ended.get(), 20000));
  EXPECT_EQ(AllocationCount() - before, 0) << "operator new calls while the rest of 40 frames were published";
}

TEST_F(ProducerTest, TexturesAlwaysHoldTheFrameItSays) {
  OpenFrames(12);
  auto producer = MakeProducer(0);
  producer->WaitUntilStarted();
  ASSERT_TRUE(Signalled(ready.get()));
  producer->Resume();
  int checked = 0;
  while (WaitAnyFor({ended.get(), ready.get()}, kPatienceMs) == ready.get()) {
    LockGuard guard(*producer);  // the frame cannot change while we look
    EXPECT_TRUE(TexturesShow(*producer, static_cast<uint32_t>(producer->currentFrame()), 100));
    ++checked;
  }
  EXPECT_GE(checked, 3);
}

TEST_F(ProducerTest, AOneFrameAnimationEndsAtTheFirstResume) {
  OpenFrames(1);
  auto producer = MakeProducer(0);
  producer->WaitUntilStarted();
  ASSERT_TRUE(Signalled(ready.get()));
  producer->Resume();
  EXPECT_TRUE(WaitFor(ended.get(), kPatienceMs));
  EXPECT_FALSE(WaitFor(ready.get(), 150)) << "no frame after the only one";
  EXPECT_EQ(producer->currentFrame(), 0);
  EXPECT_TRUE(TexturesShow(*producer, 0, 100));
}

TEST_F(ProducerTest, StartedAtTheLastFrameItEndsAtOnceAndAfterARewindShowsFrameOne) {
  OpenFrames(5);
  // A saved position is 64 bits wide; its low 32 bits are the frame.
  auto producer = MakeProducer((int64_t{1} << 32) | 4);
  producer->WaitUntilStarted();
  ASSERT_TRUE(Signalled(ready.get()));
  EXPECT_EQ(producer->currentFrame(), 4);
  EXPECT_TRUE(TexturesShow(*producer, 4, 100));

  producer->Resume();
  ASSERT_TRUE(WaitFor(ended.get(), kPatienceMs));
  EXPECT_FALSE(Signalled(ready.get()));

  EXPECT_TRUE(producer->RewindToStart());
  EXPECT_EQ(producer->currentFrame(), 0);
  const double resumedAt = NowMs();
  producer->Resume();
  ASSERT_TRUE(WaitFor(ready.get(), kPatienceMs));
  EXPECT_GE(NowMs() - resumedAt, PeriodMs() - 0.01) << "the clock restarts after an idle spell";
  EXPECT_EQ(producer->currentFrame(), 1) << "frame 0 is shown only at the very first start";
  EXPECT_TRUE(TexturesShow(*producer, 1, 100));
}

TEST_F(ProducerTest, AnOpacityChangeShowsFromTheNextFrameAndLeavesTheMaskAlone) {
  OpenFrames(4);
  auto producer = MakeProducer(0);
  producer->WaitUntilStarted();
  ASSERT_TRUE(Signalled(ready.get()));
  EXPECT_TRUE(TexturesShow(*producer, 0, 100));

  // Changed while the producer is idle (nothing in this program changes settings during playback).
  producer->SetOpacity(50);
  EXPECT_TRUE(TexturesShow(*producer, 0, 100)) << "the frame already published keeps its opacity";
  producer->Resume();
  ASSERT_TRUE(WaitFor(ready.get(), kPatienceMs));
  LockGuard guard(*producer);
  EXPECT_TRUE(TexturesShow(*producer, static_cast<uint32_t>(producer->currentFrame()), 50));
}

TEST_F(ProducerTest, AStalledRenderThreadMakesItSkipFramesNotQueueThem) {
  OpenFrames(200);
  auto producer = MakeProducer(0);
  producer->WaitUntilStarted();
  ASSERT_TRUE(Signalled(ready.get()));
  const double resumedAt = NowMs();
  producer->Resume();
  ASSERT_TRUE(WaitFor(ready.get(), kPatienceMs));
  {
    LockGuard stall(*producer);  // the render thread holding the frame for ten periods
    Sleep(static_cast<DWORD>(10 * PeriodMs()));
  }
  std::vector<Published> after = CollectUntilEnded(*producer, ready.get(), ended.get(), 6);
  ASSERT_EQ(after.size(), 6u);
  // The frame held up is published on release and the next one at once (two ready signals may
  // reach us as one); the frame after those makes up for the lost time in one jump.
  int32_t largestJump = 0;
  for (size_t i = 1; i < after.size(); ++i) largestJump = std::max(largestJump, after[i].frame - after[i - 1].frame);
  EXPECT_GE(largestJump, 5);
  for (const Published& p : after) EXPECT_GE(p.atMs - resumedAt, p.frame * PeriodMs() - 0.01);
}

TEST_F(ProducerTest, FramesSkippedNearTheEndStillEndOnTheLastFrame) {
  OpenFrames(10);
  auto producer = MakeProducer(0);
  producer->WaitUntilStarted();
  ASSERT_TRUE(Signalled(ready.get()));
  producer->Resume();
  std::vector<Published> frames = CollectUntilEnded(*producer, ready.get(), ended.get(), 3);
  ASSERT_EQ(frames.size(), 3u);
  if (frames.back().frame > 5) GTEST_SKIP() << "the machine was too busy to stall the producer before the end";
  {
    LockGuard stall(*producer);  // the clock will count more periods than frames are left
    Sleep(static_cast<DWORD>(12 * PeriodMs()));
  }
  frames = CollectUntilEnded(*producer, ready.get(), ended.get(), 20);
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back().frame, 9) << "the last frame is shown before the end";
  EXPECT_EQ(producer->currentFrame() + 1, producer->frameCount()) << "a restart must find the last frame reached";
  EXPECT_FALSE(WaitFor(ready.get(), 100));
}

TEST_F(ProducerTest, DestroyingItEndsItsThreadWhetherIdleRunningOrJustMade) {
  OpenFrames(100);
  for (int state = 0; state < 3; ++state) {
    auto producer = MakeProducer(0);
    if (state >= 1) producer->WaitUntilStarted();
    if (state == 2) {
      producer->Resume();
      ASSERT_TRUE(WaitFor(ready.get(), kPatienceMs));
      ASSERT_TRUE(WaitFor(ready.get(), kPatienceMs));
    }
    UniqueHandle thread(DuplicateForWait(producer->handle()));
    producer.reset();
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "state " << state;
    ResetEventOrDie(ready.get());
    EXPECT_FALSE(WaitFor(ready.get(), 100)) << "nothing is published after destruction, state " << state;
  }
}

TEST_F(ProducerTest, DrawsItsTexturesWithTheDevicesCurrentStates) {
  // Flat frames, so that where each texel is sampled does not matter.
  const std::wstring path = WidePath(folder.path() / "flat.bin");
  FrameFileLayout file;
  file.header.width = kWidth;
  file.header.height = kHeight;
  file.AddRecord(ZlibRecord(Bytes(size_t{kWidth} * kHeight, 64)));
  folder.Write("flat.bin", file.FileBytes());
  ASSERT_TRUE(unpacker.Open(path, false));
  auto producer = MakeProducer(0);
  producer->WaitUntilStarted();

  Microsoft::WRL::ComPtr<IDirect3DSurface9> target;
  ASSERT_EQ(d.device->CreateRenderTarget(64, 64, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, target.GetAddressOf(),
                                         nullptr),
            S_OK);
  ASSERT_EQ(d.device->SetRenderTarget(0, target.Get()), S_OK);
  ASSERT_EQ(d.device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE), S_OK);
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_EQ(d.device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 255, 255, 255), 1.0f, 0), S_OK);
    ASSERT_EQ(d.device->BeginScene(), S_OK);
    const HRESULT drawn =
        pass == 0 ? producer->DrawSilhouette(4, 4, kWidth, kHeight) : producer->DrawMask(4, 4, kWidth, kHeight);
    ASSERT_EQ(d.device->EndScene(), S_OK);
    ASSERT_EQ(drawn, S_OK);
    ReadBack back(d.device.Get(), target.Get());
    ASSERT_TRUE(back.Ok());
    const Colour inside = back.At(20, 12), outside = back.At(50, 50);
    EXPECT_EQ(inside.a, 255 - 64) << "pass " << pass;  // opacity 100: both forms carry 255 - grey
    EXPECT_EQ(inside.r + inside.g + inside.b, 0) << "black texels, pass " << pass;
    EXPECT_EQ(outside.r, 255) << "nothing drawn outside, pass " << pass;
  }
}
}  // namespace
