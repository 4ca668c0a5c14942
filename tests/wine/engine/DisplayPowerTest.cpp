// The displays going off and coming back, as the system announces it to the saver window: nothing
// is drawn or decoded meanwhile, the sound-only background media plays on, and the animation goes
// on from the frame it stopped at. The notifications are delivered to the real window in-process
// (the platform here never sends them).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "DisplayNotification.h"
#include "FaultInjectingDevice.h"
#include "HostWindow.h"
#include "TestFrameFile.h"
#include "TestMedia.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";
// 10 s at 30 frames per second: no wrap while a test pauses and resumes.
constexpr uint32_t kFrames = 300;

// Processor time of the playback thread and the frame producer (a thread that has ended counts 0).
double DrawingThreadsCpuSeconds(const UmbraneEngine& engine) {
  double seconds = 0;
  for (const DWORD id : {engine.playbackThread()->id(), static_cast<DWORD>(engine.statistics().producerThreadId)}) {
    const UniqueHandle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, id));
    FILETIME created, exited, kernel, user;
    if (!thread || !GetThreadTimes(thread.get(), &created, &exited, &kernel, &user)) continue;
    for (const FILETIME& time : {kernel, user}) {
      seconds += (static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 1e7;
    }
  }
  return seconds;
}

class DisplayPower : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        WriteTestFrameFile(kDataFile, 64, 48, kFrames, [](uint32_t frame) { return static_cast<uint8_t>(frame); }));
  }
  void TearDown() override {
    // The engine must let go of the wrapped device before the wrapper goes.
    if (host.alive()) DestroyWindow(host.hwnd());
    DeleteFileW(kDataFile.c_str());
  }

  // Starts the engine with its device wrapped; playback starts once messages are pumped.
  void Start() {
    engine = std::make_unique<UmbraneEngine>();
    host.onDestroy = [this] { engine.reset(); };
    ASSERT_TRUE(engine->Startup(host.hwnd(), false, PlaybackStart::Immediately));
    wrapper = std::make_unique<FaultInjectingDevice>(engine->device());
    engine->InterposeDevice(wrapper.get());
  }

  bool PumpUntilPaused(bool paused) {
    return HostWindow::PumpUntil([&] { return engine->statistics().drawingPaused == paused; }, 20000);
  }

  // Over a second of pausing: nothing presented or drawn, and (almost) no processor time used.
  void ExpectStillWhilePaused() {
    const uint64_t presented = engine->statistics().framesPresented;
    const int64_t drawn = engine->statistics().lastDrawnFrame;
    const double cpuBefore = DrawingThreadsCpuSeconds(*engine);
    const DWORD start = GetTickCount();
    HostWindow::Pump(1000);
    const double seconds = (GetTickCount() - start) / 1000.0;
    const double cpuShare = (DrawingThreadsCpuSeconds(*engine) - cpuBefore) / seconds;
    EXPECT_EQ(engine->statistics().framesPresented, presented) << "nothing is presented while the displays are off";
    EXPECT_EQ(engine->statistics().lastDrawnFrame, drawn);
    EXPECT_LT(cpuShare, 0.02)
        << "share of a core the playback thread and the producer used while the displays were off";
    std::printf("playback thread and producer while the displays are off: %.2f %% of a core\n", cpuShare * 100);
  }

  // A display comes back: the first frame presented is the one playback stopped at, held at the
  // present gate so that it is seen however busy the machine is; then playback goes on.
  void ExpectResumedAtThePausedFrame(DWORD value = kDisplayOn) {
    const int64_t pausedAt = engine->resumePosition();
    const int arrived = wrapper->presentsArrived;
    wrapper->CloseGate();
    DeliverDisplayState(host.hwnd(), value);
    ASSERT_TRUE(HostWindow::PumpUntil([&] { return wrapper->presentsArrived > arrived; }, 20000));
    EXPECT_EQ(engine->statistics().lastDrawnFrame, pausedAt)
        << "the first frame after the pause is the frame it stopped at";
    EXPECT_FALSE(engine->statistics().drawingPaused);
    wrapper->OpenGate();
    EXPECT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().lastDrawnFrame > pausedAt; }, 20000))
        << "and the animation goes on";
  }

  SettingsLocation settings;
  HostWindow host;
  std::unique_ptr<FaultInjectingDevice> wrapper;  // outlives the engine (declared before it)
  std::unique_ptr<UmbraneEngine> engine;
};

TEST_F(DisplayPower, TheDisplaysGoingOffStopDrawingAndDecodingAndPlaybackGoesOnFromTheSameFrame) {
  settings.WriteIni({});
  Start();
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().lastDrawnFrame >= 5; }, 20000));

  // Notifications that say nothing about the display, or that repeat what is known, change nothing.
  DeliverDisplayState(host.hwnd(), kDisplayOff, GUID_ACDC_POWER_SOURCE);
  DeliverDisplayState(host.hwnd(), kDisplayOff, GUID_CONSOLE_DISPLAY_STATE, 0);
  DeliverDisplayState(host.hwnd(), kDisplayOn);
  DeliverDisplayState(host.hwnd(), kDisplayDimmed);
  const uint64_t presented = engine->statistics().framesPresented;
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().framesPresented > presented + 3; }, 20000));
  EXPECT_FALSE(engine->statistics().drawingPaused);

  // Off, twice.
  DeliverDisplayState(host.hwnd(), kDisplayOff);
  DeliverDisplayState(host.hwnd(), kDisplayOff);
  ASSERT_TRUE(PumpUntilPaused(true));
  EXPECT_GE(engine->resumePosition(), 5);
  ExpectStillWhilePaused();
  // Dimmed is seen, so it counts as on.
  ExpectResumedAtThePausedFrame(kDisplayDimmed);

  // The older monitor-power setting is followed the same way.
  DeliverDisplayState(host.hwnd(), kDisplayOff, GUID_MONITOR_POWER_ON);
  ASSERT_TRUE(PumpUntilPaused(true));
  DeliverDisplayState(host.hwnd(), kDisplayOn, GUID_MONITOR_POWER_ON);
  ASSERT_TRUE(PumpUntilPaused(false));
}

TEST_F(DisplayPower, OffDuringStartUpNothingIsPresentedUntilADisplayComesBack) {
  settings.WriteIni({});
  Start();
  // Before the playback thread exists: StartMessage is still queued.
  DeliverDisplayState(host.hwnd(), kDisplayOff);
  ASSERT_TRUE(PumpUntilPaused(true));
  EXPECT_EQ(engine->statistics().framesPresented, 0u);
  EXPECT_EQ(engine->resumePosition(), 0);
  ExpectStillWhilePaused();
  ExpectResumedAtThePausedFrame();
}

TEST_F(DisplayPower, OffWhileALostDeviceIsRecoveredTheNewPlaybackStartsPausedAtTheSavedFrame) {
  settings.WriteIni({});
  Start();
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().lastDrawnFrame >= 5; }, 20000));
  wrapper->LoseDevice(/*lostChecks=*/1, S_OK);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() != 0; }, 20000));
  const int64_t lostAt = engine->resumePosition();
  // Off and on again, then off, while nothing plays.
  DeliverDisplayState(host.hwnd(), kDisplayOff);
  DeliverDisplayState(host.hwnd(), kDisplayOn);
  DeliverDisplayState(host.hwnd(), kDisplayOff);
  const uint64_t presented = engine->statistics().framesPresented;
  ASSERT_TRUE(HostWindow::PumpUntil(
      [&] { return engine->recoveryTimerId() == 0 && engine->statistics().drawingPaused; }, 20000));
  EXPECT_EQ(engine->statistics().framesPresented, presented);
  EXPECT_EQ(engine->resumePosition(), lostAt);
  ExpectStillWhilePaused();
  ExpectResumedAtThePausedFrame();
}

TEST_F(DisplayPower, SoundOnlyBackgroundMediaPlaysOnAndLoopsWhileTheDisplaysAreOff) {
  const std::wstring path = TestMedia(L"tone-short.wav");
  const std::string narrowPath(path.begin(), path.end());  // the test media have plain names
  settings.WriteIni({{"bgmEnabled", "1"}, {"bgmPath", narrowPath.c_str()}});
  Start();
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().lastDrawnFrame >= 1; }, 20000));
  DeliverDisplayState(host.hwnd(), kDisplayOff);
  ASSERT_TRUE(PumpUntilPaused(true));
  const int64_t pausedAt = engine->statistics().lastDrawnFrame;
  // The 0.4 s tone ends and starts over, alone, several times while the picture stays.
  const uint32_t restarts = engine->statistics().mediaRestarts;
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().mediaRestarts >= restarts + 2; }, 20000));
  EXPECT_EQ(engine->statistics().lastDrawnFrame, pausedAt);
  EXPECT_TRUE(engine->statistics().drawingPaused);
  ExpectResumedAtThePausedFrame();
}

// A movie graph, the shadow movie or background media with video, is paused while the displays are
// off: only the frames already on their way when it paused still reach its renderer, not the 30 a
// second of a running movie. It runs on with the picture.
struct Movie {
  const char* option;
  const char* pathKey;
  const wchar_t* file;
  bool shadow;
};
class MovieGraph : public DisplayPower, public ::testing::WithParamInterface<Movie> {};

TEST_P(MovieGraph, IsPausedWhileTheDisplaysAreOffAndRunsOnWithThePicture) {
  const std::wstring path = TestMedia(GetParam().file);
  const std::string narrowPath(path.begin(), path.end());  // the test media have plain names
  // VMR-9: the default VMR-7 captures no video where its default presenter is missing (Wine).
  settings.WriteIni({{GetParam().option, "1"}, {GetParam().pathKey, narrowPath.c_str()}, {"VideoRenderer", "1"}});
  Start();
  DShowFilterGraph& movie = GetParam().shadow ? *engine->shadowGraph() : *engine->backgroundGraph();
  const auto pictures = [&] {
    return GetParam().shadow ? engine->statistics().movieFramesDrawn.load()
                             : engine->statistics().videoFramesDrawn.load();
  };
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return pictures() >= 3; }, 20000));
  DeliverDisplayState(host.hwnd(), kDisplayOff);
  ASSERT_TRUE(PumpUntilPaused(true));
  OAFilterState state = State_Running;
  movie.mediaControl()->GetState(1000, &state);
  EXPECT_EQ(state, State_Paused);
  const uint64_t delivered = movie.videoDeliveries().presentCalls;
  const uint64_t drawn = pictures();
  ExpectStillWhilePaused();
  EXPECT_LE(movie.videoDeliveries().presentCalls, delivered + 3) << "frames presented to the renderer meanwhile";
  EXPECT_EQ(pictures(), drawn);
  DeliverDisplayState(host.hwnd(), kDisplayOn);
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return pictures() > drawn + 2; }, 20000));
}

INSTANTIATE_TEST_SUITE_P(ShadowAndBackground, MovieGraph,
                         ::testing::Values(Movie{"shadowMovieEnabled", "shadowMoviePath", L"halves.avi", true},
                                           Movie{"bgmEnabled", "bgmPath", L"testsrc-raw.avi", false}));

}  // namespace
