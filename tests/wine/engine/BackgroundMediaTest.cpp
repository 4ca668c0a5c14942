#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "AudioCapture.h"
#include "FaultInjectingDevice.h"
#include "FaultInjectingMediaControl.h"
#include "HostWindow.h"
#include "TestFrameFile.h"
#include "TestMedia.h"
#include "Watchdog.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "tests/wine/settings/SettingsLocation.h"

using Microsoft::WRL::ComPtr;

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";
constexpr uint32_t kFrames = 24;  // 0.8 s at 30 frames per second

long VolumeOf(DShowFilterGraph& graph) {
  ComPtr<IBasicAudio> audio;
  long volume = 1;
  if (SUCCEEDED(
          graph.graphBuilder()->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(audio.GetAddressOf())))) {
    audio->get_Volume(&volume);
  }
  return volume;
}

// The engine playing the packed frames with background media, in a real window, with settings
// from the real settings file.
class BackgroundMedia : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteTestFrameFile(kDataFile, 64, 48, kFrames,
                                   [](uint32_t frame) { return static_cast<uint8_t>(frame * 10); }));
  }
  void TearDown() override {
    if (host.alive()) DestroyWindow(host.hwnd());
    DeleteFileW(kDataFile.c_str());
  }

  // Starts an engine with that background file; playback starts once messages are pumped.
  bool Start(const std::wstring& medium, int volume = 100, bool previewMode = false) {
    const std::wstring path = TestMedia(medium);
    const std::string narrowPath(path.begin(), path.end());  // the test media have plain names
    const std::string volumeText = std::to_string(volume);
    // VMR-9: the default VMR-7 captures no video where its default presenter is missing (Wine).
    settings.WriteIni({{"bgmEnabled", "1"},
                       {"bgmPath", narrowPath.c_str()},
                       {"bgmVolume", volumeText.c_str()},
                       {"VideoRenderer", "1"}});
    engine = std::make_unique<UmbraneEngine>();
    host.onDestroy = [this] { engine.reset(); };
    return engine->Startup(host.hwnd(), previewMode, PlaybackStart::Immediately);
  }

  DShowFilterGraph& media() { return *engine->backgroundGraph(); }

  struct Runs {
    int wraps = 0;
    int64_t firstFrameAfterWrap = -1;  // the largest frame drawn first after a wrap
  };
  // Pumps until the animation has run through `count` times (it wraps back to its start).
  Runs WaitForRuns(int count, DWORD ceilingMs) {
    Runs runs;
    int64_t previous = engine->statistics().lastDrawnFrame;
    HostWindow::PumpUntil(
        [&] {
          const int64_t frame = engine->statistics().lastDrawnFrame;
          if (frame < previous) {
            ++runs.wraps;
            runs.firstFrameAfterWrap = std::max(runs.firstFrameAfterWrap, frame);
          }
          previous = frame;
          return runs.wraps >= count;
        },
        ceilingMs);
    return runs;
  }

  bool Playing() {
    return HostWindow::PumpUntil([&] { return engine->statistics().lastDrawnFrame >= 0; }, 15000);
  }

  // The engine's own device wrapped, for the tests that lose it; it outlives the engine, which
  // TearDown ends with its window.
  FaultInjectingDevice& WrapDevice() {
    wrapper = std::make_unique<FaultInjectingDevice>(engine->device());
    engine->InterposeDevice(wrapper.get());
    return *wrapper;
  }

  SettingsLocation settings;
  std::unique_ptr<FaultInjectingDevice> wrapper;
  HostWindow host;
  std::unique_ptr<UmbraneEngine> engine;
};

TEST_F(BackgroundMedia, MusicThatEndsFirstRestartsAloneWhileTheAnimationRunsOn) {
  ASSERT_TRUE(Start(L"tone-short.wav"));
  ASSERT_TRUE(Playing());
  // The 0.4 s music ends inside every 0.8 s run of the animation; the animation does not start
  // again for it, only at its own end. Were it rewound with the music, it would never reach its
  // end. The two counters are read apart, so their difference may run one ahead for a moment:
  // four seen means at least three real ends of the animation.
  const auto animationEnds = [&] { return engine->statistics().restarts - engine->statistics().mediaRestarts; };
  const uint32_t endsBefore = animationEnds(), mediaBefore = engine->statistics().mediaRestarts;
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return animationEnds() - endsBefore >= 4; }, 30000))
      << "the animation reached its end " << animationEnds() - endsBefore << " times, the music "
      << engine->statistics().mediaRestarts - mediaBefore;
  EXPECT_GE(engine->statistics().mediaRestarts - mediaBefore, 3u);
}

TEST_F(BackgroundMedia, MusicLongerThanTheAnimationRestartsWithItAndTheAnimationGoesOnWithFrameOne) {
  ASSERT_TRUE(Start(L"tone-long.wav"));
  ASSERT_TRUE(Playing());
  const uint32_t restartsBefore = engine->statistics().restarts, mediaBefore = engine->statistics().mediaRestarts;
  const Runs runs = WaitForRuns(3, 30000);
  ASSERT_EQ(runs.wraps, 3);
  EXPECT_EQ(engine->statistics().mediaRestarts - mediaBefore, 0u) << "the 3 s music never reached its end";
  EXPECT_GE(engine->statistics().restarts - restartsBefore, 3u);
  // After a restart the producer shows frame n, the clock's last advance: normally 1, more when
  // the last tick came late on a busy machine, but the animation starts over from its beginning.
  EXPECT_GE(runs.firstFrameAfterWrap, 1);
  EXPECT_LT(runs.firstFrameAfterWrap, static_cast<int64_t>(kFrames) / 2);
}

TEST_F(BackgroundMedia, AnAudioOnlyBackgroundIsHeardAtItsVolumeAndLeavesTheDesktopBehind) {
  AudioCapture capture;
  ASSERT_TRUE(Start(L"tone-short.wav"));
  EXPECT_FALSE(media().HasVideo());
  EXPECT_EQ(VolumeOf(media()), 0);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().mediaRestarts >= 1; }, 15000))
      << "played to its end";
  ASSERT_TRUE(capture.available()) << "run under the harness with sound capture";
  EXPECT_GT(capture.Levels().peak, 0.3);
}

TEST_F(BackgroundMedia, TheBackgroundVolumeIsTheSettingsAndThePreviewIsSilent) {
  ASSERT_TRUE(Start(L"tone-short.wav", 57));
  EXPECT_EQ(VolumeOf(media()), -4301);
  DestroyWindow(host.hwnd());

  AudioCapture capture;
  HostWindow preview;
  preview.onDestroy = [this] { engine.reset(); };
  engine = std::make_unique<UmbraneEngine>();
  ASSERT_TRUE(engine->Startup(preview.hwnd(), true, PlaybackStart::Immediately));
  EXPECT_EQ(VolumeOf(media()), -10000) << "the preview mutes whatever the settings say";
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().mediaRestarts >= 2; }, 15000))
      << "played to its end";
  EXPECT_LT(capture.Levels().peak, 0.0001);
  DestroyWindow(preview.hwnd());
}

TEST_F(BackgroundMedia, AFileThatCannotBeOpenedFailsTheStartWithItsText) {
  for (const wchar_t* bad : {L"no such file.wav", L"not-media.mp4", L"empty.mp4"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(Start(bad));
    EXPECT_EQ(engine->errorText(), L"ファイルを開けません。");
    engine.reset();
  }
}

TEST_F(BackgroundMedia, ABackgroundVideoIsCapturedAndDrawnFrameAfterFrame) {
  ASSERT_TRUE(Start(L"colour-raw.avi"));
  ASSERT_TRUE(media().HasVideo());
  ASSERT_TRUE(Playing());
  const uint64_t delivered = media().videoDeliveries().framesPresented;
  const uint64_t presented = engine->statistics().framesPresented;
  EXPECT_TRUE(HostWindow::PumpUntil(
      [&] {
        return media().videoDeliveries().framesPresented >= delivered + 30 &&
               engine->statistics().framesPresented >= presented + 30;
      },
      15000));
}

// A device lost while the video renderer waits for the graph's lock with a frame in hand; then a
// reset that fails once for the renderer's surfaces; afterwards the video comes back.
TEST_F(BackgroundMedia, ALostDeviceWhileAVideoPlaysRecoversAndTheVideoComesBackOnTheResetDevice) {
  ASSERT_TRUE(Start(L"colour-raw.avi"));
  FaultInjectingDevice& device = WrapDevice();
  ASSERT_TRUE(Playing());
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return media().videoDeliveries().framesPresented >= 10; }, 10000));

  // The lost answer comes once the renderer's thread is blocked on the lock the playback thread
  // holds for its frame: stopping the graph under that lock could never finish.
  bool rendererWaiting = false;
  device.beforeLostPresent = [&] {
    if (rendererWaiting) return;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
      const DShowFilterGraph::VideoDeliveries d = media().videoDeliveries();
      if (d.presentCalls > d.framesPresented) {
        rendererWaiting = true;
        return;
      }
      Sleep(1);
    }
  };
  Watchdog watchdog(60000, "recovery from a lost device with background video");
  device.LoseDevice(/*lostChecks=*/1, /*failFirstReset=*/true);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() != 0; }, 10000)) << "the loop ended";
  EXPECT_TRUE(rendererWaiting);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() == 0; }, 10000))
      << "not recovered after " << device.resets << " resets, the last real one answering " << std::hex
      << device.lastResetResult << " detach " << media().DetachVideo() << " state " << [&] {
           OAFilterState s = -1;
           media().mediaControl()->GetState(0, &s);
           return s;
         }();
  EXPECT_EQ(device.resets, 2) << "the first reset failed for the renderer's surfaces, the second worked";

  const uint64_t delivered = media().videoDeliveries().framesPresented;
  const int presentsBefore = device.presents;
  EXPECT_TRUE(HostWindow::PumpUntil(
      [&] {
        return media().videoDeliveries().framesPresented >= delivered + 10 && device.presents >= presentsBefore + 10;
      },
      15000))
      << "new video frames arrive on the reset device and are drawn";
}

TEST_F(BackgroundMedia, AGraphThatNeverReachesItsStateKeepsNeitherARestartNorTheEndWaiting) {
  ASSERT_TRUE(Start(L"tone-long.wav"));
  const ComPtr<FaultInjectingMediaControl> stuck = FaultInjectingMediaControl::Around(media().mediaControl());
  media().InterposeMediaControl(stuck.Get());
  stuck->stuckStates = true;
  Watchdog watchdog(60000, "ending playback while the graph is stuck");

  // The loop waits for the graph to run, which it never reports.
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return stuck->runs >= 1; }, 15000));
  const int queries = stuck->stateQueries;
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return stuck->stateQueries > queries + 2; }, 5000));

  // A new playback thread (as after a device reset) stops the waiting one: no EndMessage for that.
  engine->StartPlayback();
  const int queriesAfter = stuck->stateQueries;
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return stuck->stateQueries > queriesAfter + 2; }, 5000));
  EXPECT_TRUE(host.alive()) << "the stopped wait posted no EndMessage";

  // The user's input ends the saver: the window goes and the engine with it, promptly.
  const DWORD start = GetTickCount();
  DestroyWindow(host.hwnd());
  const DWORD took = GetTickCount() - start;
  std::printf("the engine ended %lu ms after its window was destroyed\n", static_cast<unsigned long>(took));
  EXPECT_FALSE(engine);
  EXPECT_LT(took, 3000u);
}

TEST_F(BackgroundMedia, AVideoWhoseFirstFrameNeverComesEndsPlayback) {
  ASSERT_TRUE(Start(L"colour-raw.avi"));
  const ComPtr<FaultInjectingMediaControl> stalled = FaultInjectingMediaControl::Around(media().mediaControl());
  media().InterposeMediaControl(stalled.Get());
  stalled->stalled = true;
  // Cue gives the stream a while to cue, then the first frame five seconds: EndMessage.
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return !host.alive(); }, 30000)) << "EndMessage destroyed the window";
  EXPECT_FALSE(engine);
}

// A graph event the real graph is told about, as its filters tell it (an audio renderer whose
// device failed, a device that went or came back).
void Notify(DShowFilterGraph& graph, long code, LONG_PTR first, LONG_PTR second) {
  ComPtr<IMediaEventSink> sink;
  ASSERT_EQ(graph.graphBuilder()->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(sink.GetAddressOf())),
            S_OK);
  ASSERT_EQ(sink->Notify(code, first, second), S_OK);
}

bool MusicRunning(DShowFilterGraph& graph) {
  OAFilterState state = State_Stopped;
  return SUCCEEDED(graph.mediaControl()->GetState(0, &state)) && state == State_Running;
}

// The playing graph's sound loses its output device: from now on the graph will not play while its
// sound is connected, and the graph hears of the loss.
ComPtr<FaultInjectingMediaControl> LoseSoundDevice(DShowFilterGraph& graph) {
  const ComPtr<FaultInjectingMediaControl> gone = FaultInjectingMediaControl::Around(graph.mediaControl());
  graph.InterposeMediaControl(gone.Get());
  gone->deviceGone = true;
  Notify(graph, EC_DEVICE_LOST, 0, 0);
  return gone;
}

// The 3 s music is started over only with the 0.8 s animation, unless something stops it first.
TEST_F(BackgroundMedia, AGraphErrorDuringPlayStartsTheMusicOverAndTheAnimationGoesOn) {
  ASSERT_TRUE(Start(L"tone-long.wav"));
  ASSERT_TRUE(Playing());
  Notify(media(), EC_ERRORABORT, E_FAIL, 0);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().mediaRestarts >= 1; }, 15000))
      << "the error was not taken as the music's end";
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return MusicRunning(media()); }, 15000)) << "the music plays again";
  EXPECT_EQ(WaitForRuns(2, 30000).wraps, 2) << "the animation goes on";
}

// Where the only output device has gone, the music cannot start again: the animation plays on
// without it, and the music comes back with the device.
TEST_F(BackgroundMedia, WhileTheAudioDeviceIsGoneTheAnimationPlaysOnAndTheMusicComesBackWithIt) {
  ASSERT_TRUE(Start(L"tone-long.wav"));
  ASSERT_TRUE(Playing());
  const ComPtr<FaultInjectingMediaControl> gone = LoseSoundDevice(media());
  EXPECT_EQ(WaitForRuns(2, 30000).wraps, 2) << "the animation goes on, restarts of the music failing";
  EXPECT_TRUE(host.alive());
  EXPECT_FALSE(MusicRunning(media()));

  gone->deviceGone = false;
  const uint32_t before = engine->statistics().mediaRestarts;
  Notify(media(), EC_DEVICE_LOST, 0, 1);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().mediaRestarts > before; }, 15000));
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return MusicRunning(media()); }, 15000)) << "the music plays again";
}

// A background video whose sound has lost its device plays its picture on without the sound; the
// sound comes back with the device.
TEST_F(BackgroundMedia, ABackgroundVideoWhoseSoundDeviceWentPlaysOnWithoutTheSoundUntilItComesBack) {
  ASSERT_TRUE(Start(L"colour-raw.avi"));
  ASSERT_TRUE(Playing());
  const ComPtr<FaultInjectingMediaControl> gone = LoseSoundDevice(media());
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().mediaRestarts >= 1; }, 15000));
  const uint64_t delivered = media().videoDeliveries().framesPresented;
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return media().videoDeliveries().framesPresented >= delivered + 10; }, 15000))
      << "the picture goes on";
  EXPECT_FALSE(gone->SoundConnected());

  gone->deviceGone = false;
  Notify(media(), EC_DEVICE_LOST, 0, 1);
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return gone->SoundConnected() && MusicRunning(media()); }, 15000))
      << "the sound is back";
}

}  // namespace
