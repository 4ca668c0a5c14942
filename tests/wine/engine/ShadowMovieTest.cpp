// The engine with a shadow movie: its frames are the silhouette, it loops, it survives a lost
// device, and a movie without pictures falls back to the packed frames after telling the user.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FaultInjectingDevice.h"
#include "HostWindow.h"
#include "OwnedMessageBox.h"
#include "TestFrameFile.h"
#include "TestMedia.h"
#include "Watchdog.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "media/GraphUtilities.h"
#include "settings/UmbraneConfig.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";
const wchar_t kNoVideoWarning[] = L"影絵に指定された動画ファイルから映像を読み取れませんでした。";

std::string Narrow(const std::wstring& path) { return std::string(path.begin(), path.end()); }

class ShadowMovie : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        WriteTestFrameFile(kDataFile, 64, 48, 24, [](uint32_t frame) { return static_cast<uint8_t>(frame * 10); }));
  }
  void TearDown() override {
    if (host.alive()) DestroyWindow(host.hwnd());
    DeleteFileW(kDataFile.c_str());
  }

  // Starts an engine with that shadow movie and renderer (1: VMR-9; null: no key, the default);
  // a warning box shown during the start is answered from another thread and remembered.
  bool Start(const std::wstring& moviePath, const char* renderer = "1",
             std::vector<std::pair<std::string, std::string>> more = {}) {
    std::string ini = "[config]\r\nshadowMovieEnabled=1\r\nshadowMoviePath=" + Narrow(moviePath) + "\r\n";
    if (renderer) ini += std::string("VideoRenderer=") + renderer + "\r\n";
    for (const auto& [key, value] : more) ini += key + "=" + value + "\r\n";
    settings.WriteBytes(ini);
    engine = std::make_unique<UmbraneEngine>();
    host.onDestroy = [this] { engine.reset(); };
    std::atomic<bool> startupReturned{false};
    std::thread answerer([&] { warning = AnswerOwnedMessageBox(host.hwnd(), 20000, &startupReturned); });
    const bool started = engine->Startup(host.hwnd(), false, PlaybackStart::Immediately);
    startupReturned = true;
    answerer.join();
    return started;
  }

  bool MovieFramesDrawn(uint64_t count, DWORD ceilingMs = 20000) {
    const uint64_t before = engine->statistics().movieFramesDrawn;
    return HostWindow::PumpUntil([&] { return engine->statistics().movieFramesDrawn >= before + count; }, ceilingMs);
  }

  void ExpectTheWarningThenPackedFrames() {
    EXPECT_TRUE(warning.shown) << "the user is told";
    EXPECT_EQ(warning.caption, L"Error");
    EXPECT_EQ(warning.text, kNoVideoWarning);
    EXPECT_TRUE(warning.errorIcon);
    EXPECT_EQ(engine->shadowGraph(), nullptr);
    EXPECT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().lastDrawnFrame >= 5; }, 20000))
        << "the packed frames play";
  }

  SettingsLocation settings;
  // The engine's own device wrapped, for the test that loses it; it outlives the engine.
  std::unique_ptr<FaultInjectingDevice> wrapper;
  HostWindow host;
  std::unique_ptr<UmbraneEngine> engine;
  MessageBoxSeen warning;
};

TEST_F(ShadowMovie, EveryFrameOfTheMovieIsDrawnAndTheMovieLoops) {
  // halves-swap.avi lasts one second; without background media it restarts alone.
  ASSERT_TRUE(Start(TestMedia(L"halves-swap.avi")));
  EXPECT_FALSE(warning.shown);
  ASSERT_NE(engine->shadowGraph(), nullptr);
  EXPECT_TRUE(engine->shadowGraph()->HasVideo());
  ASSERT_TRUE(MovieFramesDrawn(10)) << "the movie's frames reach the screen";
  EXPECT_EQ(engine->statistics().lastDrawnFrame, -1) << "no packed frame is drawn";
  EXPECT_EQ(engine->frameSource().frameCount(), 0u) << "the packed frames were never opened";

  const uint32_t before = engine->statistics().movieRestarts;
  int64_t latest = engine->statistics().lastMovieFrameTime;
  bool wentBack = false;
  ASSERT_TRUE(HostWindow::PumpUntil(
      [&] {
        const int64_t time = engine->statistics().lastMovieFrameTime;
        if (time < latest) wentBack = true;
        latest = time;
        return engine->statistics().movieRestarts >= before + 2 && wentBack;
      },
      30000))
      << "restarts " << engine->statistics().movieRestarts - before;
  EXPECT_TRUE(MovieFramesDrawn(10)) << "it plays on after the restarts";
  EXPECT_TRUE(host.alive());
}

TEST_F(ShadowMovie, ALostDeviceStopsTheMovieAndItPlaysOnOnTheResetDevice) {
  ASSERT_TRUE(Start(TestMedia(L"halves.avi")));
  wrapper = std::make_unique<FaultInjectingDevice>(engine->device());
  engine->InterposeDevice(wrapper.get());
  ASSERT_TRUE(MovieFramesDrawn(5));

  Watchdog watchdog(60000, "recovery from a lost device with a shadow movie");
  wrapper->LoseDevice(/*lostChecks=*/1, /*failFirstReset=*/true);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() != 0; }, 10000)) << "the loop ended";
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return engine->recoveryTimerId() == 0; }, 15000)) << "not recovered";
  EXPECT_EQ(wrapper->resets, 2) << "the first reset failed for the renderers' surfaces, the second worked";
  const int presents = wrapper->presents;
  EXPECT_TRUE(MovieFramesDrawn(10)) << "the movie's frames come again on the reset device";
  EXPECT_GE(wrapper->presents, presents + 10);
}

TEST_F(ShadowMovie, AFileWithoutPicturesWarnsAndThePackedFramesPlay) {
  ASSERT_TRUE(Start(TestMedia(L"tone.wav")));
  ExpectTheWarningThenPackedFrames();
}

// Where the VMR-7 chain cannot be built (Wine's VMR-7 takes no allocator-presenter of ours and
// there is no default one), both graphs take the VMR-9 instead: with the default settings the
// movie plays through the effect over the background video, without a warning. The settings keep
// the user's choice.
TEST_F(ShadowMovie, WithTheVmr7ChainUnavailableBothVideosPlayThroughTheVmr9) {
  const std::string background = Narrow(TestMedia(L"colour-h264.mp4"));
  ASSERT_TRUE(Start(TestMedia(L"halves.avi"), nullptr, {{"bgmEnabled", "1"}, {"bgmPath", background}}));
  EXPECT_NE(engine->directDraw(), nullptr) << "the DirectDraw object for the VMR-7 is made";
  EXPECT_FALSE(warning.shown);
  ASSERT_NE(engine->shadowGraph(), nullptr);
  for (DShowFilterGraph* graph : {engine->shadowGraph(), engine->backgroundGraph()}) {
    EXPECT_TRUE(graph->HasVideo());
    std::wstring filters;
    for (const auto& filter : GetFilters(graph->graphBuilder())) filters += GetFilterName(filter.Get()) + L"; ";
    EXPECT_NE(filters.find(L"VMR9"), std::wstring::npos) << filters;
    EXPECT_EQ(filters.find(L"VMR7"), std::wstring::npos) << filters;
  }
  const uint64_t video = engine->statistics().videoFramesDrawn;
  EXPECT_TRUE(MovieFramesDrawn(20));
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().videoFramesDrawn >= video + 20; }, 20000));
  EXPECT_EQ(engine->statistics().movieDrawing, PlaybackStatistics::MovieDrawing::D3dxEffect);
  EXPECT_EQ(engine->config().VideoRenderer, UmbraneConfig::Vmr7);
  EXPECT_EQ(settings.ReadKey(L"VideoRenderer"), L"<absent>") << "nothing was written";
}

// A movie of odd sides (rows padded in the file, a picture smaller than its texture) plays to its
// end and on with the default settings, without a warning.
TEST_F(ShadowMovie, AMovieOfOddSidesPlays) {
  ASSERT_TRUE(Start(TestMedia(L"odd-size.avi"), nullptr));
  EXPECT_FALSE(warning.shown);
  ASSERT_NE(engine->shadowGraph(), nullptr);
  EXPECT_TRUE(engine->shadowGraph()->HasVideo());
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().movieRestarts >= 1; }, 30000))
      << "not played to its end";
  EXPECT_TRUE(MovieFramesDrawn(10)) << "and on";
  EXPECT_TRUE(host.alive());
}

TEST_F(ShadowMovie, AMovieThatCannotBeOpenedFailsTheStartWithItsText) {
  for (const wchar_t* bad : {L"no such movie.avi", L"not-media.mp4", L"empty.mp4"}) {  // beside the test media
    SCOPED_TRACE(bad);
    EXPECT_FALSE(Start(TestMedia(bad)));
    EXPECT_FALSE(warning.shown);
    EXPECT_EQ(engine->errorText(), L"ファイルを開けません。");
    engine.reset();
  }
}

TEST_F(ShadowMovie, WithABackgroundVideoBothPlay) {
  const std::string background = Narrow(TestMedia(L"colour-raw.avi"));
  ASSERT_TRUE(Start(TestMedia(L"halves.avi"), "1", {{"bgmEnabled", "1"}, {"bgmPath", background}}));
  ASSERT_TRUE(engine->backgroundGraph()->HasVideo());
  const uint64_t video = engine->statistics().videoFramesDrawn;
  EXPECT_TRUE(MovieFramesDrawn(20));
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return engine->statistics().videoFramesDrawn >= video + 20; }, 20000));
}

}  // namespace
