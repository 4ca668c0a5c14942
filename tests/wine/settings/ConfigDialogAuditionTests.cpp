// Auditions in the settings dialog: the test media played through the dialog's own graph and
// heard in the captured sound, the controls each 試聴 and 停止 switches, and the two failures.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "AudioCapture.h"
#include "FaultInjectingMediaControl.h"
#include "TestMedia.h"
#include "media/DShowFilterGraph.h"
#include "resources/resource.h"
#include "settings/ConfigDialog.h"
#include "tests/wine/settings/RunningConfigDialog.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {
const wchar_t kCannotPlay[] =
    L"\u30d5\u30a1\u30a4\u30eb\u3092\u518d\u751f\u3067\u304d\u307e\u305b\u3093\u3067\u3057\u305f\u3002";

// Every control of the two media groups, option boxes included.
const int kMediaControls[] = {IDC_BGM_ENABLED,
                              IDC_BGM_PATH,
                              IDC_BGM_BROWSE,
                              IDC_BGM_VOLUME_LABEL,
                              IDC_BGM_VOLUME_VALUE,
                              IDC_BGM_VOLUME,
                              IDC_BGM_PLAY,
                              IDC_BGM_STOP,
                              IDC_SHADOW_MOVIE_ENABLED,
                              IDC_SHADOW_MOVIE_PATH,
                              IDC_SHADOW_MOVIE_BROWSE,
                              IDC_SHADOW_MOVIE_VOLUME_LABEL,
                              IDC_SHADOW_MOVIE_VOLUME_VALUE,
                              IDC_SHADOW_MOVIE_VOLUME,
                              IDC_SHADOW_MOVIE_PLAY,
                              IDC_SHADOW_MOVIE_STOP};

using EnabledStates = std::map<int, bool>;

EnabledStates EnabledNow(const RunningConfigDialog& dialog) {
  EnabledStates states;
  for (int id : kMediaControls) states[id] = dialog.Enabled(id);
  return states;
}

// The media controls now are as before except for the changes listed.
void ExpectOnlyChanged(const RunningConfigDialog& dialog, const EnabledStates& before, const EnabledStates& changes) {
  for (const auto& [id, wasEnabled] : before) {
    const auto changed = changes.find(id);
    EXPECT_EQ(dialog.Enabled(id), changed != changes.end() ? changed->second : wasEnabled) << "control " << id;
  }
}

// The audition graph's state once its change is complete (-1 past the ceiling).
OAFilterState GraphState(const RunningConfigDialog& dialog) {
  OAFilterState state = -1;
  const bool settled = WaitUntil([&] {
    HRESULT answer = E_FAIL;
    dialog.OnDialogThread([&](ConfigDialog& opened) {
      if (opened.auditionGraph) answer = opened.auditionGraph->mediaControl()->GetState(0, &state);
    });
    return answer == S_OK;
  });
  return settled ? state : -1;
}

bool IsDefault(const RunningConfigDialog& dialog, int id) {
  return (dialog.Style(id) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// Waits until the capture holds at least this many sounding samples; their levels.
AudioLevels HeardAtLeast(const AudioCapture& capture, uint64_t samples) {
  AudioLevels levels;
  WaitUntil([&] { return (levels = capture.Levels()).sounding >= samples; });
  return levels;
}

// Sound is captured at 48 kHz. The sound device mixes ahead of what it writes, so what follows a
// change of volume by less than this may still have been mixed before it.
constexpr uint64_t kMixedAhead = 48000 / 4;
constexpr uint64_t kEnoughToMeasure = 48000 / 20;  // 22 periods of the 440 Hz tone

class ConfigDialogAudition : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(AudioCapture().available()) << "run under the harness with sound capture"; }
  SettingsLocation location;
};
}  // namespace

TEST_F(ConfigDialogAudition, ATypedFileIsStoredPlayedAndMadeQuieterByItsSliderWhilePlaying) {
  location.WriteIni({{"bgmEnabled", "1"},
                     {"bgmVolume", "100"},
                     {"bgmPath", "C:\\old.wav"},
                     {"recent0", "C:\\old.wav"},
                     {"shadowMovieEnabled", "1"}});
  RunningConfigDialog dialog;
  const std::wstring typed = TestMedia(L"tone-long.wav");  // 3 s of a 440 Hz tone at amplitude 0.5
  dialog.TypeInto(IDC_BGM_PATH, typed);
  const AudioCapture heard;
  dialog.Click(IDC_BGM_PLAY);  // the click takes the focus from the combo before it is handled
  ASSERT_TRUE(dialog.NoBoxShowing());
  EXPECT_EQ(dialog.Text(IDC_BGM_PATH), typed);
  EXPECT_EQ(dialog.Entries(IDC_BGM_PATH), (std::vector<std::wstring>{L"C:\\old.wav", typed})) << "sorted";

  const AudioLevels full = HeardAtLeast(heard, kEnoughToMeasure);
  ASSERT_GE(full.sounding, kEnoughToMeasure) << "the typed file is heard";
  EXPECT_GT(full.peak, 0.4) << "at volume 100";

  // Volume 80 is 20 dB down (the graph's volume formula).
  dialog.MoveSlider(IDC_BGM_VOLUME, 80);
  EXPECT_EQ(dialog.Text(IDC_BGM_VOLUME_VALUE), L"80");
  HeardAtLeast(AudioCapture(), kMixedAhead);
  const AudioLevels quieter = HeardAtLeast(AudioCapture(), kEnoughToMeasure);
  ASSERT_GE(quieter.sounding, kEnoughToMeasure) << "still playing after the move";
  EXPECT_NEAR(DecibelsBetween(quieter.peak, full.peak), -20.0, 1.5) << quieter.peak << " after " << full.peak;

  dialog.Click(IDC_BGM_STOP);
  dialog.Click(IDOK);
  ASSERT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"bgmPath"), typed);
  EXPECT_EQ(location.ReadKey(L"recent0"), typed);
  EXPECT_EQ(location.ReadKey(L"recent1"), L"C:\\old.wav");
  EXPECT_EQ(location.ReadKey(L"bgmVolume"), L"80");
}

TEST_F(ConfigDialogAudition, EachAuditionAndItsStopSwitchExactlyTheListedControls) {
  location.WriteIni({{"bgmEnabled", "1"}, {"shadowMovieEnabled", "1"}});
  RunningConfigDialog dialog;
  dialog.TypeInto(IDC_BGM_PATH, TestMedia(L"tone-long.wav"));
  dialog.TypeInto(IDC_SHADOW_MOVIE_PATH, TestMedia(L"colour-raw.avi"));  // heard, not seen: audio only
  dialog.Focus(IDC_FRAME_ENABLED);

  EnabledStates before = EnabledNow(dialog);
  AudioCapture heard;
  dialog.Click(IDC_BGM_PLAY);
  ASSERT_TRUE(dialog.NoBoxShowing());
  ExpectOnlyChanged(dialog, before,
                    {{IDC_BGM_PATH, false},
                     {IDC_BGM_BROWSE, false},
                     {IDC_SHADOW_MOVIE_PATH, false},
                     {IDC_SHADOW_MOVIE_BROWSE, false},
                     {IDC_SHADOW_MOVIE_VOLUME, false},
                     {IDC_BGM_PLAY, false},
                     {IDC_BGM_STOP, true}});
  EXPECT_TRUE(IsDefault(dialog, IDC_BGM_STOP));
  EXPECT_FALSE(IsDefault(dialog, IDC_BGM_PLAY));
  EXPECT_EQ(dialog.Focused(), dialog.Item(IDC_BGM_STOP));
  EXPECT_GE(HeardAtLeast(heard, kEnoughToMeasure).sounding, kEnoughToMeasure);

  dialog.Click(IDC_BGM_STOP);
  EXPECT_EQ(GraphState(dialog), State_Stopped);
  ExpectOnlyChanged(dialog, before, {});
  EXPECT_TRUE(IsDefault(dialog, IDC_BGM_PLAY));
  EXPECT_FALSE(IsDefault(dialog, IDC_BGM_STOP));
  EXPECT_EQ(dialog.Focused(), dialog.Item(IDC_BGM_PLAY));

  heard = AudioCapture();
  dialog.Click(IDC_SHADOW_MOVIE_PLAY);
  ASSERT_TRUE(dialog.NoBoxShowing());
  ExpectOnlyChanged(dialog, before,
                    {{IDC_BGM_PATH, false},
                     {IDC_BGM_BROWSE, false},
                     {IDC_BGM_VOLUME, false},
                     {IDC_SHADOW_MOVIE_PATH, false},
                     {IDC_SHADOW_MOVIE_BROWSE, false},
                     {IDC_SHADOW_MOVIE_PLAY, false},
                     {IDC_SHADOW_MOVIE_STOP, true}});
  EXPECT_TRUE(IsDefault(dialog, IDC_SHADOW_MOVIE_STOP));
  EXPECT_GE(HeardAtLeast(heard, kEnoughToMeasure).sounding, kEnoughToMeasure) << "the movie's sound";
  dialog.Click(IDC_SHADOW_MOVIE_STOP);
  EXPECT_EQ(GraphState(dialog), State_Stopped);
  ExpectOnlyChanged(dialog, before, {});

  // With the shadow movie off, stopping the background audition leaves that group as it was.
  dialog.Click(IDC_SHADOW_MOVIE_ENABLED);
  before = EnabledNow(dialog);
  dialog.Click(IDC_BGM_PLAY);
  ASSERT_TRUE(dialog.NoBoxShowing());
  dialog.Click(IDC_BGM_STOP);
  ExpectOnlyChanged(dialog, before, {});

  // A click on the playing group's option box stops it too; the box decides the group's controls.
  dialog.Click(IDC_SHADOW_MOVIE_ENABLED);
  dialog.Click(IDC_BGM_PLAY);
  ASSERT_TRUE(dialog.NoBoxShowing());
  EXPECT_EQ(GraphState(dialog), State_Running);
  dialog.Click(IDC_BGM_ENABLED);
  EXPECT_EQ(GraphState(dialog), State_Stopped);
  for (int id : {IDC_BGM_PATH, IDC_BGM_BROWSE, IDC_BGM_VOLUME_LABEL, IDC_BGM_VOLUME_VALUE, IDC_BGM_VOLUME, IDC_BGM_PLAY,
                 IDC_BGM_STOP}) {
    EXPECT_FALSE(dialog.Enabled(id)) << id;
  }
}

TEST_F(ConfigDialogAudition, AFileThatOpensButCannotPlaySaysSoAndLeavesTheButtons) {
  location.WriteIni({{"bgmEnabled", "1"}});
  RunningConfigDialog dialog;
  dialog.TypeInto(IDC_BGM_PATH, TestMedia(L"tone.wav"));
  dialog.Focus(IDC_FRAME_ENABLED);
  // The platform's graphs do not refuse to run a file they opened; a wrapper makes this one.
  Microsoft::WRL::ComPtr<FaultInjectingMediaControl> refusing;
  dialog.OnDialogThread([&](ConfigDialog& opened) {
    ASSERT_NE(opened.auditionGraph, nullptr);
    refusing = FaultInjectingMediaControl::Around(opened.auditionGraph->mediaControl());
    refusing->failedRuns = true;
    opened.auditionGraph->InterposeMediaControl(refusing.Get());
  });
  const EnabledStates before = EnabledNow(dialog);

  dialog.ClickLater(IDC_BGM_PLAY);
  const HWND box = dialog.WaitForBox(L"ERROR");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(RunningConfigDialog::Says(box, kCannotPlay));
  RunningConfigDialog::Answer(box, IDOK);
  EXPECT_EQ(refusing->runs, 1);
  ExpectOnlyChanged(dialog, before, {});

  // Once the file plays, the next 試聴 plays it without opening it again.
  refusing->failedRuns = false;
  const AudioCapture heard;
  dialog.Click(IDC_BGM_PLAY);
  EXPECT_TRUE(dialog.NoBoxShowing());
  EXPECT_TRUE(dialog.Enabled(IDC_BGM_STOP));
  EXPECT_GE(HeardAtLeast(heard, kEnoughToMeasure).sounding, kEnoughToMeasure);
}
