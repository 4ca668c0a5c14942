// Saving to, and deleting, the real settings file of the prefix.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "settings/UmbraneConfig.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {
using List = std::vector<std::wstring>;
using Renderer = UmbraneConfig::VideoRendererType;

std::unique_ptr<UmbraneConfig> Loaded() {
  auto config = std::make_unique<UmbraneConfig>(nullptr);
  config->Load();
  return config;
}

// The file's text, from UTF-16 (with its byte-order mark) or from plain ASCII.
std::wstring DecodeText(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                     static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    }
    return text;
  }
  return std::wstring(bytes.begin(), bytes.end());
}

// The non-empty lines of the file, in order, without line ends.
List Lines(const std::string& bytes) {
  List lines;
  std::wstring line;
  for (wchar_t c : DecodeText(bytes) + L"\n") {
    if (c == L'\r' || c == L'\n') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  return lines;
}

class UmbraneConfigSave : public ::testing::Test {
 protected:
  SettingsLocation location;
};
}  // namespace

TEST_F(UmbraneConfigSave, CreatesTheFolderAndWritesEveryKeyInOrder) {
  location.Clear();
  auto config = Loaded();
  config->MagType = static_cast<MagType>(9);
  config->foregroundAlpha = 80;
  config->backgroundAlpha = 5;
  config->bgmEnabled = true;
  config->SetBgmPath(L"C:\\b.wav");
  config->bgmVolume = 0;
  config->shadowMovieEnabled = true;
  config->SetShadowMoviePath(L"C:\\s.avi");
  config->shadowMovieVolume = 100;
  config->VideoRenderer = static_cast<Renderer>(-3);
  config->layeredWindow = true;
  config->Save();

  ASSERT_TRUE(location.FileExists());
  const List expected = {
      L"[config]",
      L"MagType=9",
      L"foregroundAlpha=80",
      L"backgroundAlpha=5",
      L"frameEnabled=1",
      L"confineBgFilterToShadowGraph=0",
      L"bgmEnabled=1",
      L"bgmPath=C:\\b.wav",
      L"bgmVolume=0",
      L"recent0=C:\\b.wav",
      L"recent1=",
      L"shadowMovieEnabled=1",
      L"shadowMoviePath=C:\\s.avi",
      L"shadowMovieVolume=100",
      L"shadowMovieRecent0=C:\\s.avi",
      L"shadowMovieRecent1=",
      L"VideoRenderer=-3",
      L"memoryCompact=1",
      L"layeredWindow=1",
  };
  EXPECT_EQ(Lines(location.ReadBytes()), expected);
}

TEST_F(UmbraneConfigSave, WhatIsSavedLoadsBackIncludingPathsOutsideTheAnsiCodePage) {
  location.Clear();
  // Japanese, a symbol outside every East Asian code page, and a surrogate pair.
  const std::wstring bgm = L"C:\\\u97f3\u697d\\\u5f71\u7d75\u2603\U0001F3B5.wav";
  const std::wstring movie = L"D:\\\u52d5\u753b\\\u00e9t\u00e9.avi";
  {
    auto config = Loaded();
    config->SetBgmPath(bgm);
    config->SetShadowMoviePath(movie);
    config->foregroundAlpha = 33;
    config->confineBgFilterToShadowGraph = true;
    config->frameEnabled = false;
    config->memoryCompact = false;
    config->VideoRenderer = Renderer::Vmr9;
    config->MagType = MagType::FitDesktop;
    config->Save();
  }
  const auto reloaded = Loaded();
  EXPECT_EQ(reloaded->bgmPath, bgm);
  EXPECT_EQ(reloaded->recent, List{bgm});
  EXPECT_EQ(reloaded->shadowMoviePath, movie);
  EXPECT_EQ(reloaded->shadowMovieRecent, List{movie});
  EXPECT_EQ(reloaded->foregroundAlpha, 33);
  EXPECT_TRUE(reloaded->confineBgFilterToShadowGraph);
  EXPECT_FALSE(reloaded->frameEnabled);
  EXPECT_FALSE(reloaded->memoryCompact);
  EXPECT_EQ(reloaded->VideoRenderer, Renderer::Vmr9);
  EXPECT_EQ(reloaded->MagType, MagType::FitDesktop);
}

TEST_F(UmbraneConfigSave, WritesBackgroundAlphaAndNeverTheOldAlphaKey) {
  location.WriteIni({{"alpha", "40"}});
  {
    auto config = Loaded();
    config->Save();
  }
  EXPECT_EQ(location.ReadKey(L"backgroundAlpha"), L"40");
  EXPECT_EQ(location.ReadKey(L"alpha"), L"40");

  auto config = Loaded();
  config->backgroundAlpha = 70;
  config->Save();
  EXPECT_EQ(location.ReadKey(L"backgroundAlpha"), L"70");
  EXPECT_EQ(location.ReadKey(L"alpha"), L"40") << "the old key is read, never written";

  location.Clear();
  Loaded()->Save();
  EXPECT_EQ(location.ReadKey(L"alpha"), L"<absent>");
}

TEST_F(UmbraneConfigSave, AShorterListLeavesLaterKeysWhichTheNextLoadAppends) {
  location.WriteIni({{"bgmPath", "f0"},
                     {"recent0", "f0"},
                     {"recent1", "f1"},
                     {"recent2", "f2"},
                     {"recent3", "f3"},
                     {"recent4", "f4"},
                     {"recent5", "f5"},
                     {"recent6", "f6"},
                     {"recent7", "f7"},
                     {"recent8", "f8"},
                     {"recent9", "f9"}});
  {
    auto config = Loaded();
    config->recent = {L"new", L"f5", L"f1"};
    config->bgmPath = L"new";
    config->Save();
  }
  EXPECT_EQ(location.ReadKey(L"recent2"), L"f1");
  EXPECT_EQ(location.ReadKey(L"recent3"), L"f3");
  EXPECT_EQ(location.ReadKey(L"recent9"), L"f9");

  const auto reloaded = Loaded();
  EXPECT_EQ(reloaded->recent, (List{L"new", L"f5", L"f1", L"f3", L"f4", L"f6", L"f7", L"f8", L"f9"}));
}

TEST_F(UmbraneConfigSave, PathsThatDifferOnlyInCaseSurviveASave) {
  location.Clear();
  {
    auto config = Loaded();
    config->SetBgmPath(L"C:\\Media\\Song.wav");
    config->SetBgmPath(L"c:\\media\\song.wav");
    config->Save();
  }
  const auto reloaded = Loaded();
  EXPECT_EQ(reloaded->recent, (List{L"c:\\media\\song.wav", L"C:\\Media\\Song.wav"}));
}

TEST_F(UmbraneConfigSave, SettersMoveTheirPathToTheFrontOfTheirOwnList) {
  location.WriteIni({{"bgmPath", "b0"},
                     {"recent0", "b0"},
                     {"recent1", "b1"},
                     {"recent2", "b2"},
                     {"recent3", "b3"},
                     {"recent4", "b4"},
                     {"recent5", "b5"},
                     {"shadowMoviePath", "m0"},
                     {"shadowMovieRecent0", "m0"}});
  auto config = Loaded();
  config->SetBgmPath(L"b4");
  EXPECT_EQ(config->bgmPath, L"b4");
  EXPECT_EQ(config->recent, (List{L"b4", L"b0", L"b1", L"b2", L"b3", L"b5"}));
  EXPECT_EQ(config->shadowMovieRecent, List{L"m0"});

  config->SetShadowMoviePath(L"");
  EXPECT_EQ(config->shadowMoviePath, L"");
  EXPECT_EQ(config->shadowMovieRecent, (List{L"", L"m0"}));
  EXPECT_EQ(config->bgmPath, L"b4");
}

TEST_F(UmbraneConfigSave, DeleteFilesRemovesTheFileAndTheEmptyFolder) {
  location.Clear();
  auto config = Loaded();
  config->Save();
  ASSERT_TRUE(location.FileExists());

  config->DeleteFiles();
  EXPECT_FALSE(location.FileExists());
  if (!location.FolderExisted()) {
    EXPECT_FALSE(location.FolderExists());
  }

  // Nothing left to delete: no error, nothing created.
  config->DeleteFiles();
  EXPECT_FALSE(location.FileExists());
}

TEST_F(UmbraneConfigSave, DeleteFilesLeavesAFolderThatHoldsOtherFiles) {
  location.WriteIni({{"MagType", "1"}});
  const std::filesystem::path other = std::filesystem::path(location.FolderPath()) / L"other.txt";
  std::ofstream(other) << "kept";

  Loaded()->DeleteFiles();
  EXPECT_FALSE(location.FileExists());
  EXPECT_TRUE(std::filesystem::exists(other));
  std::filesystem::remove(other);
}
