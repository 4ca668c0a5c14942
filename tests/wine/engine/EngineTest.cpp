#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "HostWindow.h"
#include "TestFrameFile.h"
#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "engine/WindowHook.h"

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteFileW(kDataFile.c_str()); }
  void TearDown() override { DeleteFileW(kDataFile.c_str()); }

  // The way the hosts own their engine: created for the window, deleted on its WM_DESTROY.
  void StartEngine(bool expectedResult) {
    engine = std::make_unique<UmbraneEngine>();
    host.onDestroy = [this] { engine.reset(); };
    EXPECT_EQ(engine->Startup(host.hwnd(), false, PlaybackStart::Immediately), expectedResult);
  }

  HostWindow host;
  std::unique_ptr<UmbraneEngine> engine;
};

TEST_F(EngineTest, WithoutTheDataFileStartupFailsBeforeAnyDeviceAndDeletionUnhooks) {
  StartEngine(false);
  EXPECT_EQ(engine->errorText(),
            L"\u30c7\u30fc\u30bf\u30d5\u30a1\u30a4\u30eb\u3092\u8aad\u307f\u8fbc\u3081\u307e"
            L"\u305b\u3093\u3067\u3057\u305f\u3002");
  EXPECT_EQ(engine->device(), nullptr);
  EXPECT_EQ(engine->direct3d(), nullptr);
  EXPECT_EQ(engine->playbackThread(), nullptr);

  engine.reset();
  // The window no longer has an entry.
  EXPECT_FALSE(UnhookWindow(host.hwnd()));
}

TEST_F(EngineTest, EndMessageDestroysTheWindowThroughWmDestroyExactlyOnce) {
  StartEngine(false);  // hooked all the same
  PostMessageW(host.hwnd(), EndMessage, 0, 0);
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return !host.alive(); }, 10000));
  HostWindow::Pump(50);  // a second destruction would be queued behind the first
  EXPECT_EQ(host.seen(WM_DESTROY), 1);
  EXPECT_EQ(engine, nullptr);
}

TEST_F(EngineTest, TwoDeviceLossesLeaveExactlyOneRecoveryTimer) {
  StartEngine(false);
  PostMessageW(host.hwnd(), DeviceLostMessage, 0, 0);
  PostMessageW(host.hwnd(), DeviceLostMessage, 0, 0);
  HostWindow::Pump(50);
  ASSERT_EQ(engine->recoveryTimerId(), 1u);
  ASSERT_TRUE(KillTimer(host.hwnd(), engine->recoveryTimerId()));
  // Nothing else is ticking: a second timer would be due within its 1 s period.
  MSG message;
  const DWORD start = GetTickCount();
  bool ticked = false;
  while (GetTickCount() - start < 1300 && !ticked) {
    ticked = PeekMessageW(&message, host.hwnd(), WM_TIMER, WM_TIMER, PM_REMOVE) != 0;
    Sleep(10);
  }
  EXPECT_FALSE(ticked);
}

TEST_F(EngineTest, TimerMessagesOfOtherIdsReachTheHost) {
  StartEngine(false);
  SendMessageW(host.hwnd(), WM_TIMER, 7, 0);
  EXPECT_EQ(host.seen(WM_TIMER), 1);
  EXPECT_EQ(host.lastTimerId(), 7u);
  // No recovery timer runs, so id 1 is not the engine's either; nor is 0.
  SendMessageW(host.hwnd(), WM_TIMER, 1, 0);
  SendMessageW(host.hwnd(), WM_TIMER, 0, 0);
  EXPECT_EQ(host.seen(WM_TIMER), 3);
  // The engine's own messages never reach the host.
  SendMessageW(host.hwnd(), DeviceLostMessage, 0, 0);
  EXPECT_EQ(host.seen(DeviceLostMessage), 0);
  KillTimer(host.hwnd(), engine->recoveryTimerId());
}

TEST_F(EngineTest, SuccessfulStartupCreatesTheDeviceAndPlaysUntilDeleted) {
  ASSERT_TRUE(
      WriteTestFrameFile(kDataFile, 64, 48, 3, [](uint32_t frame) { return static_cast<uint8_t>(frame * 40); }));
  StartEngine(true);
  EXPECT_EQ(engine->errorText(), L"no error.");
  EXPECT_NE(engine->device(), nullptr);
  EXPECT_NE(engine->renderTarget(), nullptr);
  EXPECT_NE(engine->backgroundGraph(), nullptr);
  EXPECT_EQ(engine->shadowGraph(), nullptr);
  // The screen saver's start-up posts StartMessage; playback starts when it is dispatched.
  MSG queued;
  EXPECT_TRUE(PeekMessageW(&queued, host.hwnd(), StartMessage, StartMessage, PM_NOREMOVE));
  EXPECT_EQ(engine->playbackThread(), nullptr);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->playbackThread() != nullptr; }, 10000));
  HANDLE thread = engine->playbackThread()->handle();
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  DestroyWindow(host.hwnd());
  EXPECT_EQ(engine, nullptr);
}

}  // namespace
