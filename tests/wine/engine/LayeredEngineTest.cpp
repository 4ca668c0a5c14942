// The engine in layered-window mode on a real window and device, configured through the real
// settings file. With both opacities at 100 every pixel of the frame is opaque, so what the screen
// shows is the frame itself, with or without a compositor.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>

#include "DisplayNotification.h"
#include "FaultInjectingDevice.h"
#include "HostWindow.h"
#include "TestFrameFile.h"
#include "engine/UmbraneEngine.h"
#include "base/GdiHandles.h"
#include "base/LockedSurface.h"
#include "settings/UmbraneConfig.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";
constexpr uint32_t kFrames = 24;
uint8_t GreyOf(uint32_t frame) { return static_cast<uint8_t>(frame * 10); }

// A ceiling for a hung test only: a loaded machine may take many times the usual.
constexpr DWORD kCeilingMs = 30000;

// The grey the screen shows in the middle of the host window (-1 when it is not grey).
int ScreenGrey() {
  const COLORREF shown = GetPixel(ScreenDc().Get(), 160, 120);
  const int r = GetRValue(shown), g = GetGValue(shown), b = GetBValue(shown);
  return (std::abs(r - g) <= 2 && std::abs(g - b) <= 2) ? g : -1;
}

bool ScreenShows(int grey) {
  const int shown = ScreenGrey();
  return shown >= 0 && std::abs(shown - grey) <= 2;
}

// Every texel of the frame surface opaque grey, as the layered loop would leave a frame there.
void WriteFrame(UmbraneEngine& engine, int grey, bool announce) {
  {
    LockGuard guard(engine.layeredFrameLock());
    LockedSurface bits(engine.layeredFrameSurface());
    ASSERT_EQ(bits.result(), S_OK);
    for (LONG y = 0; y < engine.layeredPresenter()->size().cy; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(bits.Row(static_cast<UINT>(y)));
      for (LONG x = 0; x < engine.layeredPresenter()->size().cx; ++x) row[x] = 0xFF000000u | uint32_t(grey) * 0x010101u;
    }
  }
  if (announce) SetEvent(engine.layeredFrameReadyEvent());
}

class LayeredEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteTestFrameFile(kDataFile, 64, 48, kFrames, GreyOf));
    settings.WriteIni(
        {{"layeredWindow", "1"}, {"foregroundAlpha", "100"}, {"backgroundAlpha", "100"}, {"MagType", "3"}});
  }
  void TearDown() override {
    if (host.alive()) DestroyWindow(host.hwnd());
    DeleteFileW(kDataFile.c_str());
  }

  void Start() {
    engine = std::make_unique<UmbraneEngine>();
    host.onDestroy = [this] {
      tickingWhenDestroyed = engine->layeredPresenter()->ticking();
      engine.reset();
    };
    ASSERT_TRUE(engine->Startup(host.hwnd(), false, PlaybackStart::Immediately));
  }

  bool Playing(uint32_t updates) {
    return HostWindow::PumpUntil([&] { return engine && engine->statistics().layeredUpdates >= updates; }, kCeilingMs);
  }

  SettingsLocation settings;
  HostWindow host;
  std::unique_ptr<UmbraneEngine> engine;
  bool tickingWhenDestroyed = false;
};

TEST_F(LayeredEngine, TheWindowBecomesLayeredAndShowsTheAnimationWithoutADesktopCapture) {
  Start();
  ASSERT_FALSE(engine->layout().monitors.empty());
  for (const MonitorRecord& monitor : engine->layout().monitors) EXPECT_TRUE(monitor.pixels.empty());
  ASSERT_TRUE(Playing(3));
  EXPECT_NE(GetWindowLongPtrW(host.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_TRUE(engine->layeredPresenter()->ticking());
  D3DSURFACE_DESC surface{};
  ASSERT_EQ(engine->layeredFrameSurface()->GetDesc(&surface), S_OK);
  EXPECT_EQ(surface.Width, 320u);
  EXPECT_EQ(surface.Height, 240u);
  EXPECT_EQ(surface.Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(surface.Pool, D3DPOOL_SYSTEMMEM);

  // The screen follows the animation: the greys of several different frames show up in turn.
  std::set<int> greys;
  ASSERT_TRUE(HostWindow::PumpUntil(
      [&] {
        const int grey = ScreenGrey();
        if (grey >= 0 && grey % 10 <= 1) greys.insert(grey / 10);
        return greys.size() >= 4;
      },
      kCeilingMs))
      << greys.size() << " frames seen on the screen";
}

TEST_F(LayeredEngine, TwoFramesBetweenTwoTicksHandOnlyTheNewerToTheWindow) {
  Start();
  ASSERT_TRUE(Playing(1));
  // From here on the test is the only one writing frames.
  ASSERT_TRUE(engine->playbackThread()->Stop());
  engine->layeredPresenter()->PresentNewest();  // takes a frame the loop may have announced last
  const uint32_t before = engine->statistics().layeredUpdates;

  WriteFrame(*engine, 40, true);
  WriteFrame(*engine, 200, true);
  engine->layeredPresenter()->PresentNewest();
  EXPECT_EQ(engine->statistics().layeredUpdates, before + 1) << "one update for both frames";
  EXPECT_TRUE(HostWindow::PumpUntil([] { return ScreenShows(200); }, kCeilingMs))
      << "the screen shows " << ScreenGrey();

  // A tick without a new frame does nothing, even when the surface has changed meanwhile.
  WriteFrame(*engine, 90, false);
  engine->layeredPresenter()->PresentNewest();
  EXPECT_EQ(engine->statistics().layeredUpdates, before + 1);
  HostWindow::Pump(20);  // the real timer ticks too
  EXPECT_EQ(engine->statistics().layeredUpdates, before + 1);
  EXPECT_TRUE(ScreenShows(200)) << "the screen shows " << ScreenGrey();
}

TEST_F(LayeredEngine, AFailedUpdateEndsPlayback) {
  Start();
  ASSERT_TRUE(Playing(2));
  // A window that is no longer layered refuses the next update.
  SetWindowLongPtrW(host.hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(host.hwnd(), GWL_EXSTYLE) & ~WS_EX_LAYERED);
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return !host.alive(); }, kCeilingMs)) << "EndMessage destroys the window";
  EXPECT_EQ(engine, nullptr);
  EXPECT_TRUE(tickingWhenDestroyed) << "the timer kept running until the end";
}

TEST_F(LayeredEngine, AWindowThatCannotBecomeLayeredEndsAtOnceWithoutATimer) {
  // A host whose window refuses the layered style: the first update fails.
  host.onMessage = [](UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_STYLECHANGING && wParam == static_cast<WPARAM>(GWL_EXSTYLE)) {
      reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew &= ~static_cast<DWORD>(WS_EX_LAYERED);
    }
  };
  Start();
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return !host.alive(); }, kCeilingMs)) << "EndMessage destroys the window";
  EXPECT_FALSE(tickingWhenDestroyed);
}

TEST_F(LayeredEngine, ALostDeviceIsRecoveredAndTheWindowKeepsUpdating) {
  Start();
  FaultInjectingDevice wrapper(engine->device());
  engine->InterposeDevice(&wrapper);
  ASSERT_TRUE(HostWindow::PumpUntil(
      [&] { return engine->statistics().lastDrawnFrame >= 3 && engine->statistics().lastDrawnFrame < 15; },
      kCeilingMs));

  wrapper.LoseDevice(/*lostChecks=*/1, /*failFirstReset=*/false);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() != 0; }, kCeilingMs))
      << "reading back reports the loss";
  const int64_t lostAt = engine->resumePosition();
  EXPECT_GE(lostAt, 3);
  // The new loop's first frame is held at the read-back, so that the test sees it however busy the
  // machine is.
  wrapper.CloseGate();
  const int readBacksBefore = wrapper.readBacksArrived;
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() == 0; }, kCeilingMs));
  EXPECT_EQ(wrapper.resets, 1);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return wrapper.readBacksArrived > readBacksBefore; }, kCeilingMs));
  const int64_t resumedAt = engine->statistics().lastDrawnFrame;
  wrapper.OpenGate();
  EXPECT_GE(resumedAt, lostAt) << "the new loop starts from the saved frame, not from the beginning";
  // Frames the clock finds late are skipped, so a busy machine may have moved on a little.
  EXPECT_LT(resumedAt, lostAt + 10);

  // And the window gets its frames again.
  const uint32_t updates = engine->statistics().layeredUpdates;
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().layeredUpdates >= updates + 5; }, kCeilingMs))
      << "the layered timer survives the recovery";
  EXPECT_TRUE(engine->layeredPresenter()->ticking());
  DestroyWindow(host.hwnd());  // the engine must let go of the wrapper before it goes
}

TEST_F(LayeredEngine, AShadowMovieSetTogetherWithTheLayeredWindowGivesWayToThePackedFrames) {
  settings.WriteIni({{"layeredWindow", "1"},
                     {"foregroundAlpha", "100"},
                     {"backgroundAlpha", "100"},
                     {"shadowMovieEnabled", "1"},
                     {"shadowMoviePath", "C:\\no such movie.avi"}});
  Start();
  EXPECT_FALSE(engine->config().shadowMovieEnabled);
  EXPECT_EQ(engine->shadowGraph(), nullptr);
  ASSERT_TRUE(Playing(2));
  EXPECT_TRUE(HostWindow::PumpUntil([] { return ScreenGrey() >= 0 && ScreenGrey() % 10 <= 1; }, kCeilingMs))
      << "a packed frame shows";
}

// While the displays are off nothing is drawn and the window's 1 ms timer stops: a frame announced
// meanwhile (as a late one from the loop would be) is not handed to the window until a display is
// back.
TEST_F(LayeredEngine, WhileTheDisplaysAreOffTheWindowIsLeftAloneUntilOneComesBack) {
  Start();
  ASSERT_TRUE(Playing(3));
  DeliverDisplayState(host.hwnd(), kDisplayOff);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().drawingPaused.load(); }, kCeilingMs));
  const uint32_t updates = engine->statistics().layeredUpdates;
  WriteFrame(*engine, 40, true);
  HostWindow::Pump(300);
  EXPECT_EQ(engine->statistics().layeredUpdates, updates) << "no timer tick took the announced frame";
  DeliverDisplayState(host.hwnd(), kDisplayOn);
  EXPECT_TRUE(Playing(updates + 2));
  EXPECT_FALSE(engine->statistics().drawingPaused);
}

// The displays going off and on while a lost device waits for its recovery (a locked session whose
// displays sleep) touch only the layered window's timer: the recovery still happens, once, while
// they are off, and the window gets its frames again once they are back.
TEST_F(LayeredEngine, DisplaysGoingOffAndOnDuringARecoveryLeaveTheRecoveryTimerAlone) {
  Start();
  FaultInjectingDevice wrapper(engine->device());
  engine->InterposeDevice(&wrapper);
  ASSERT_TRUE(Playing(3));
  wrapper.LoseDevice(/*lostChecks=*/2, /*failFirstReset=*/false);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() != 0; }, kCeilingMs));
  DeliverDisplayState(host.hwnd(), kDisplayOff);
  EXPECT_FALSE(engine->layeredPresenter()->ticking());
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() == 0; }, kCeilingMs))
      << "the recovery timer was stopped with the layered one";
  EXPECT_EQ(wrapper.resets, 1);
  DeliverDisplayState(host.hwnd(), kDisplayOn);
  const uint32_t updates = engine->statistics().layeredUpdates;
  EXPECT_TRUE(Playing(updates + 3));
  EXPECT_EQ(wrapper.resets, 1) << "no reset after the recovery";
  DestroyWindow(host.hwnd());  // the engine must let go of the wrapper before it goes
}

}  // namespace
