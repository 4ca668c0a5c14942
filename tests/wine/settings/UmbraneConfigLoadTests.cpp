// Loading real settings files from the prefix's settings location.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/UmbraneConfig.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {
using List = std::vector<std::wstring>;
using Renderer = UmbraneConfig::VideoRendererType;

class UmbraneConfigLoad : public ::testing::Test {
 protected:
  SettingsLocation location;
};

std::unique_ptr<UmbraneConfig> Loaded() {
  auto config = std::make_unique<UmbraneConfig>(nullptr);
  config->Load();
  return config;
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}
}  // namespace

TEST_F(UmbraneConfigLoad, ConstructionResolvesThePathsAndReadsNoFile) {
  location.WriteIni({{"foregroundAlpha", "5"}, {"frameEnabled", "1"}, {"memoryCompact", "1"}});
  const UmbraneConfig config(nullptr);

  EXPECT_EQ(config.folderPath, location.FolderPath());
  EXPECT_EQ(config.iniPath, location.FilePath());
  EXPECT_EQ(config.dataFilePath, ProgramFolder() + L"um.bin");

  EXPECT_EQ(config.MagType, MagType::FillMonitor);
  EXPECT_EQ(config.foregroundAlpha, 100);
  EXPECT_EQ(config.backgroundAlpha, 0);
  EXPECT_FALSE(config.frameEnabled);
  EXPECT_FALSE(config.memoryCompact);
  EXPECT_EQ(config.bgmVolume, 100);
  EXPECT_EQ(config.shadowMovieVolume, 100);
  EXPECT_EQ(config.VideoRenderer, Renderer::Vmr7);
  EXPECT_TRUE(config.recent.empty());
  EXPECT_TRUE(config.shadowMovieRecent.empty());
}

TEST_F(UmbraneConfigLoad, WithoutAFileGivesTheDefaultsOfAFreshInstallation) {
  location.Clear();
  const auto config = Loaded();

  EXPECT_EQ(config->MagType, MagType::FillMonitor);
  EXPECT_EQ(config->foregroundAlpha, 100);
  EXPECT_EQ(config->backgroundAlpha, 0);
  EXPECT_TRUE(config->frameEnabled);
  EXPECT_FALSE(config->confineBgFilterToShadowGraph);
  EXPECT_FALSE(config->bgmEnabled);
  EXPECT_EQ(config->bgmPath, L"");
  EXPECT_EQ(config->bgmVolume, 100);
  EXPECT_FALSE(config->shadowMovieEnabled);
  EXPECT_EQ(config->shadowMoviePath, L"");
  EXPECT_EQ(config->shadowMovieVolume, 100);
  EXPECT_EQ(config->VideoRenderer, Renderer::Vmr7);
  EXPECT_TRUE(config->memoryCompact);
  EXPECT_FALSE(config->layeredWindow);
  // The empty path is put in front of each (empty) list.
  EXPECT_EQ(config->recent, List{L""});
  EXPECT_EQ(config->shadowMovieRecent, List{L""});
  EXPECT_FALSE(location.FileExists()) << "loading must not create the file";
}

TEST_F(UmbraneConfigLoad, TheOldAlphaKeyIsTheDefaultOfBackgroundAlpha) {
  struct Case {
    std::initializer_list<SettingsLocation::Key> keys;
    int expected;
  };
  const Case cases[] = {
      {{{"alpha", "40"}}, 40},
      {{{"alpha", "40"}, {"backgroundAlpha", "70"}}, 70},
      {{{"alpha", "300"}}, 44},  // the old value is kept in 8 bits first
      {{{"alpha", "200"}}, 100},
  };
  for (const Case& c : cases) {
    location.WriteIni(c.keys);
    const auto config = Loaded();
    EXPECT_EQ(config->backgroundAlpha, c.expected) << "case expecting " << c.expected;
  }
}

TEST_F(UmbraneConfigLoad, PercentagesKeepTheirLowByteAndStopAt100) {
  location.WriteIni(
      {{"foregroundAlpha", "300"}, {"backgroundAlpha", "150"}, {"bgmVolume", "-1"}, {"shadowMovieVolume", "57"}});
  const auto config = Loaded();
  EXPECT_EQ(config->foregroundAlpha, 44);
  EXPECT_EQ(config->backgroundAlpha, 100);
  EXPECT_EQ(config->bgmVolume, 100);
  EXPECT_EQ(config->shadowMovieVolume, 57);
}

TEST_F(UmbraneConfigLoad, RendererIsLimitedFromAboveOnlyAndMagnificationIsKeptAsRead) {
  location.WriteIni({{"VideoRenderer", "5"}, {"MagType", "9"}});
  {
    const auto config = Loaded();
    EXPECT_EQ(config->VideoRenderer, Renderer::Vmr9);
    EXPECT_EQ(static_cast<int>(config->MagType), 9);
  }
  location.WriteIni({{"VideoRenderer", "-3"}, {"MagType", "0"}});
  {
    const auto config = Loaded();
    EXPECT_EQ(static_cast<int>(config->VideoRenderer), -3);
    EXPECT_EQ(config->MagType, MagType::ActualSize);
  }
}

TEST_F(UmbraneConfigLoad, AnyNonZeroNumberIsTrue) {
  location.WriteIni({{"frameEnabled", "0"},
                     {"confineBgFilterToShadowGraph", "1"},
                     {"bgmEnabled", "2"},
                     {"shadowMovieEnabled", "-1"},
                     {"memoryCompact", "0"},
                     {"layeredWindow", "1"}});
  const auto config = Loaded();
  EXPECT_FALSE(config->frameEnabled);
  EXPECT_TRUE(config->confineBgFilterToShadowGraph);
  EXPECT_TRUE(config->bgmEnabled);
  EXPECT_TRUE(config->shadowMovieEnabled);
  EXPECT_FALSE(config->memoryCompact);
  EXPECT_TRUE(config->layeredWindow);
}

// Text that is not a number is whatever the platform's integer read makes of it (leading digits,
// else 0), not the default.
TEST_F(UmbraneConfigLoad, NonNumericTextGoesThroughThePlatformsIntegerRead) {
  location.WriteIni({{"foregroundAlpha", "abc"},
                     {"bgmVolume", "42percent"},
                     {"frameEnabled", "yes"},
                     {"memoryCompact", "on"},
                     {"MagType", "two"}});
  const auto config = Loaded();
  EXPECT_EQ(config->foregroundAlpha, 0);
  EXPECT_EQ(config->bgmVolume, 42);
  EXPECT_FALSE(config->frameEnabled);
  EXPECT_FALSE(config->memoryCompact);
  EXPECT_EQ(config->MagType, MagType::ActualSize);
}

TEST_F(UmbraneConfigLoad, RecentListsSkipEmptyKeysDropDuplicatesAndAddTheirPath) {
  location.WriteIni({{"bgmPath", "C:\\second.wav"},
                     {"recent0", "C:\\first.wav"},
                     {"recent1", ""},
                     {"recent2", "C:\\second.wav"},
                     {"recent3", "C:\\first.wav"},
                     {"shadowMoviePath", "C:\\third.avi"},
                     {"shadowMovieRecent0", "C:\\first.avi"},
                     {"shadowMovieRecent1", ""},
                     {"shadowMovieRecent2", "C:\\second.avi"},
                     {"shadowMovieRecent3", "C:\\first.avi"}});
  const auto config = Loaded();
  // A path already listed stays where it is; a new one goes in front.
  EXPECT_EQ(config->recent, (List{L"C:\\first.wav", L"C:\\second.wav"}));
  EXPECT_EQ(config->shadowMovieRecent, (List{L"C:\\third.avi", L"C:\\first.avi", L"C:\\second.avi"}));
}

TEST_F(UmbraneConfigLoad, ANewPathInFrontOfTenEntriesPushesTheTenthOut) {
  location.WriteIni({{"bgmPath", "new"},
                     {"recent0", "f0"},
                     {"recent1", "f1"},
                     {"recent2", "f2"},
                     {"recent3", "f3"},
                     {"recent4", "f4"},
                     {"recent5", "f5"},
                     {"recent6", "f6"},
                     {"recent7", "f7"},
                     {"recent8", "f8"},
                     {"recent9", "f9"},
                     {"recent10", "ignored"}});
  const auto config = Loaded();
  EXPECT_EQ(config->recent, (List{L"new", L"f0", L"f1", L"f2", L"f3", L"f4", L"f5", L"f6", L"f7", L"f8"}));
}

TEST_F(UmbraneConfigLoad, PathsThatDifferOnlyInCaseAreDistinctEntries) {
  location.WriteIni(
      {{"bgmPath", "C:\\MEDIA\\SONG.WAV"}, {"recent0", "C:\\Media\\Song.wav"}, {"recent1", "c:\\media\\song.wav"}});
  const auto config = Loaded();
  EXPECT_EQ(config->recent, (List{L"C:\\MEDIA\\SONG.WAV", L"C:\\Media\\Song.wav", L"c:\\media\\song.wav"}));
}

TEST_F(UmbraneConfigLoad, LongStringsAreCutTo4095Characters) {
  const std::string longPath = "C:\\" + std::string(5000, 'x');
  location.WriteIni({{"bgmPath", longPath.c_str()}});
  const auto config = Loaded();
  EXPECT_EQ(config->bgmPath, std::wstring(L"C:\\") + std::wstring(4092, L'x'));
}
