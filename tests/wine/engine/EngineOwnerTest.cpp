// The host's hold on its engine when the window goes away in the middle of the engine's start-up:
// the warning that a shadow movie has no video is a message box whose modal loop dispatches the
// window's destruction.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "HostWindow.h"
#include "OwnedMessageBox.h"
#include "TestFrameFile.h"
#include "TestMedia.h"
#include "engine/EngineOwner.h"
#include "engine/UmbraneEngine.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";

class EngineOwnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        WriteTestFrameFile(kDataFile, 64, 48, 6, [](uint32_t frame) { return static_cast<uint8_t>(frame * 40); }));
    const std::wstring movie = TestMedia(L"tone.wav");  // opens, but has no video
    const std::string narrow(movie.begin(), movie.end());
    settings.WriteIni({{"shadowMovieEnabled", "1"}, {"shadowMoviePath", narrow.c_str()}, {"VideoRenderer", "1"}});
  }
  void TearDown() override {
    if (host.alive()) DestroyWindow(host.hwnd());
    DeleteFileW(kDataFile.c_str());
  }

  SettingsLocation settings;
  HostWindow host;
  EngineOwner owner;
};

TEST_F(EngineOwnerTest, AWindowDestroyedWhileTheStartUpShowsItsWarningDeletesTheEngineAfterwards) {
  bool engineAtDestruction = false;
  host.onDestroy = [&] {
    owner.Release();
    engineAtDestruction = owner.get() != nullptr;
  };
  // The window goes away the way a closed preview pane takes it: through its own thread, while the
  // warning's modal loop runs.
  std::atomic<bool> boxSeen{false};
  std::thread closer([&] {
    const DWORD start = GetTickCount();
    while (OwnedMessageBox(host.hwnd()) == nullptr && GetTickCount() - start < 30000) Sleep(10);
    boxSeen = OwnedMessageBox(host.hwnd()) != nullptr;
    PostMessageW(host.hwnd(), WM_CLOSE, 0, 0);
  });
  const bool started = owner.Start(host.hwnd(), true, PlaybackStart::Immediately);
  closer.join();
  ASSERT_TRUE(boxSeen) << "the no-video warning was shown";
  EXPECT_FALSE(host.alive());
  EXPECT_EQ(host.seen(WM_DESTROY), 1);
  EXPECT_TRUE(engineAtDestruction) << "the engine outlives its window until its start-up has returned";
  EXPECT_FALSE(started);
  EXPECT_EQ(owner.get(), nullptr) << "and is deleted right after it";
}

TEST_F(EngineOwnerTest, AStartUpThatWasNotInterruptedKeepsTheEngineUntilRelease) {
  host.onDestroy = [&] { owner.Release(); };
  std::thread dismisser([&] { AnswerOwnedMessageBox(host.hwnd(), 30000); });
  const bool started = owner.Start(host.hwnd(), true, PlaybackStart::Immediately);
  dismisser.join();
  EXPECT_TRUE(started) << "after the warning the packed frames are used";
  ASSERT_NE(owner.get(), nullptr);
  EXPECT_EQ(owner->shadowGraph(), nullptr);
  DestroyWindow(host.hwnd());
  EXPECT_EQ(owner.get(), nullptr);
}

}  // namespace
