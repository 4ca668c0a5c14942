// The settings dialog over settings files it cannot trust and a settings folder it cannot write:
// it shows what loading makes of them, writes only valid values, overflows nothing and reports
// nothing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "resources/resource.h"
#include "tests/wine/settings/RunningConfigDialog.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {
namespace fs = std::filesystem;

LRESULT Position(const RunningConfigDialog& dialog, int id) { return SendMessageW(dialog.Item(id), TBM_GETPOS, 0, 0); }

class ConfigDialogBadInput : public ::testing::Test {
 protected:
  SettingsLocation location;
};
}  // namespace

TEST_F(ConfigDialogBadInput, ValuesOutOfRangeOrNotNumbersShowAsLoadedAndAreSavedValid) {
  location.WriteIni({{"MagType", "abc"},
                     {"foregroundAlpha", "300"},
                     {"backgroundAlpha", "-5"},
                     {"frameEnabled", "yes"},
                     {"confineBgFilterToShadowGraph", "7"},
                     {"bgmVolume", "1000"},
                     {"shadowMovieVolume", "xyz"},
                     {"VideoRenderer", "7"},
                     {"memoryCompact", "-1"},
                     {"layeredWindow", "on"}});
  RunningConfigDialog dialog;
  EXPECT_EQ(SendMessageW(dialog.Item(IDC_MAG_TYPE), CB_GETCURSEL, 0, 0), 0) << "no number reads as 0: 等倍表示";
  EXPECT_EQ(Position(dialog, IDC_FG_ALPHA), 44) << "300 keeps its low byte";
  EXPECT_EQ(dialog.Text(IDC_FG_ALPHA_VALUE), L"44");
  EXPECT_EQ(Position(dialog, IDC_BG_ALPHA), 100) << "-5 is byte 251, limited to 100";
  EXPECT_EQ(Position(dialog, IDC_BGM_VOLUME), 100) << "1000 is byte 232, limited to 100";
  EXPECT_EQ(Position(dialog, IDC_SHADOW_MOVIE_VOLUME), 0);
  EXPECT_FALSE(dialog.Checked(IDC_FRAME_ENABLED));
  EXPECT_TRUE(dialog.Checked(IDC_CONFINE_BG_FILTER));
  EXPECT_TRUE(dialog.Checked(IDC_RENDERER_VMR9));
  EXPECT_TRUE(dialog.Checked(IDC_MEMORY_COMPACT));
  EXPECT_FALSE(dialog.Checked(IDC_LAYERED_WINDOW)) << "a word reads as 0";
  dialog.Click(IDOK);
  ASSERT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"MagType"), L"0");
  EXPECT_EQ(location.ReadKey(L"foregroundAlpha"), L"44");
  EXPECT_EQ(location.ReadKey(L"backgroundAlpha"), L"100");
  EXPECT_EQ(location.ReadKey(L"frameEnabled"), L"0");
  EXPECT_EQ(location.ReadKey(L"confineBgFilterToShadowGraph"), L"1");
  EXPECT_EQ(location.ReadKey(L"bgmVolume"), L"100");
  EXPECT_EQ(location.ReadKey(L"shadowMovieVolume"), L"0");
  EXPECT_EQ(location.ReadKey(L"VideoRenderer"), L"1");
  EXPECT_EQ(location.ReadKey(L"memoryCompact"), L"1");
  EXPECT_EQ(location.ReadKey(L"layeredWindow"), L"0");
}

TEST_F(ConfigDialogBadInput, ARecentListOfTwentyEntriesWithDuplicatesAndGapsShowsEachFileOnce) {
  std::vector<std::string> names, values;
  for (int i = 0; i < 20; ++i) {
    names.push_back("recent" + std::to_string(i));
    // Every third key empty, every fourth a repeat of the first.
    values.push_back(i % 3 == 1 ? "" : i % 4 == 3 ? "C:\\m0.wav" : "C:\\m" + std::to_string(i) + ".wav");
  }
  std::string text = "[config]\r\nbgmEnabled=1\r\nbgmPath=C:\\m15.wav\r\n";
  for (int i = 0; i < 20; ++i) text += names[i] + "=" + values[i] + "\r\n";
  location.WriteBytes(text);

  RunningConfigDialog dialog;
  const auto entries = dialog.Entries(IDC_BGM_PATH);
  EXPECT_LE(entries.size(), 10u);
  EXPECT_EQ(std::set<std::wstring>(entries.begin(), entries.end()).size(), entries.size()) << "no duplicates";
  for (const auto& entry : entries) EXPECT_FALSE(entry.empty());
  // recent0..9 hold m0, m2, m5, m6, m8, m9 and repeats; the path (beyond them) goes in front.
  EXPECT_EQ(std::set<std::wstring>(entries.begin(), entries.end()),
            (std::set<std::wstring>{L"C:\\m15.wav", L"C:\\m0.wav", L"C:\\m2.wav", L"C:\\m5.wav", L"C:\\m6.wav",
                                    L"C:\\m8.wav", L"C:\\m9.wav"}));
  EXPECT_EQ(dialog.Text(IDC_BGM_PATH), L"C:\\m15.wav");
  dialog.Click(IDOK);
  ASSERT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"recent0"), L"C:\\m15.wav");
  EXPECT_EQ(location.ReadKey(L"recent6"), L"C:\\m9.wav");
  EXPECT_EQ(location.ReadKey(L"recent7"), L"") << "beyond the list: left as the file had it";
  EXPECT_EQ(location.ReadKey(L"recent8"), L"C:\\m8.wav");
  EXPECT_EQ(location.ReadKey(L"recent11"), L"C:\\m0.wav");
}

TEST_F(ConfigDialogBadInput, APathLongerThanTheBuffersIsCutAndBrowsingFromItOverflowsNothing) {
  const std::string longPath = "C:\\" + std::string(5000, 'a') + ".wav";
  location.WriteIni({{"bgmEnabled", "1"}, {"bgmPath", longPath.c_str()}, {"recent0", longPath.c_str()}});
  RunningConfigDialog dialog;
  const std::wstring shown = dialog.Text(IDC_BGM_PATH);
  EXPECT_EQ(shown.size(), 4095u) << "the settings file's value is cut to 4095 characters";
  EXPECT_EQ(shown.substr(0, 4), L"C:\\a");

  // The file-open box starts from the cut path; whatever it makes of it, cancelling changes nothing.
  dialog.ClickLater(IDC_BGM_BROWSE);
  for (int boxes = 0; boxes < 3; ++boxes) {
    const HWND box = dialog.WaitForBox(nullptr);
    if (box == nullptr) break;
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    if (WaitUntil([&] { return dialog.NoBoxShowing(); }, 500)) break;
  }
  EXPECT_TRUE(dialog.NoBoxShowing());
  EXPECT_EQ(dialog.Text(IDC_BGM_PATH), shown);
  dialog.Click(IDOK);
  ASSERT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"bgmPath"), shown);
}

// Decided: a settings file that cannot be written is not reported (saving is silent, as every
// settings file problem is); OK and 適用 behave as usual, and nothing else is touched: the file
// keeps its bytes. Here another program holds it open without sharing (permissions cannot stop
// the test's user, which may be the administrator).
TEST_F(ConfigDialogBadInput, ASettingsFileHeldByAnotherProgramIsLeftAsItWasWithoutAMessage) {
  location.WriteIni({{"backgroundAlpha", "10"}});
  const std::string before = location.ReadBytes();
  UniqueHandle held(CreateFileW(location.FilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  {
    RunningConfigDialog dialog;
    dialog.MoveSlider(IDC_BG_ALPHA, 90);
    dialog.Click(IDC_APPLY);
    EXPECT_TRUE(dialog.NoBoxShowing());
    EXPECT_FALSE(dialog.Enabled(IDC_APPLY));
    dialog.Click(IDOK);
    EXPECT_EQ(dialog.WaitForEnd(), 1);
  }
  held.reset();
  EXPECT_EQ(location.ReadBytes(), before);
}

// A file where the settings folder should be: the folder cannot be made, and the file survives.
TEST_F(ConfigDialogBadInput, ASettingsFolderThatCannotBeMadeLosesNothing) {
  location.Clear();
  ASSERT_FALSE(location.FolderExists()) << "the prefix's settings folder holds other files";
  const fs::path blocker(location.FolderPath());
  { std::ofstream(blocker, std::ios::binary) << "not a folder"; }
  {
    RunningConfigDialog dialog;
    dialog.MoveSlider(IDC_FG_ALPHA, 20);
    dialog.Click(IDOK);
    EXPECT_EQ(dialog.WaitForEnd(), 1);
  }
  EXPECT_TRUE(fs::is_regular_file(blocker));
  std::ifstream in(blocker, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "not a folder");
  in.close();
  fs::remove(blocker);
}
