#include "settings/UmbraneConfig.h"

#include <shlobj.h>

#include "settings/ProfileSection.h"
#include "settings/SettingsPaths.h"
#include "settings/SettingsRules.h"

using settings_rules::PercentFromStored;

namespace {
const wchar_t kSettingsFileName[] = L"kagemira.ini";
const wchar_t kSection[] = L"config";

const wchar_t kMagType[] = L"MagType";
const wchar_t kForegroundAlpha[] = L"foregroundAlpha";
const wchar_t kLegacyAlpha[] = L"alpha";  // read only: the old name of the background opacity
const wchar_t kBackgroundAlpha[] = L"backgroundAlpha";
const wchar_t kFrameEnabled[] = L"frameEnabled";
const wchar_t kConfineBgFilter[] = L"confineBgFilterToShadowGraph";
const wchar_t kBgmEnabled[] = L"bgmEnabled";
const wchar_t kBgmPath[] = L"bgmPath";
const wchar_t kBgmVolume[] = L"bgmVolume";
const wchar_t kRecentStem[] = L"recent";
const wchar_t kShadowMovieEnabled[] = L"shadowMovieEnabled";
const wchar_t kShadowMoviePath[] = L"shadowMoviePath";
const wchar_t kShadowMovieVolume[] = L"shadowMovieVolume";
const wchar_t kShadowMovieRecentStem[] = L"shadowMovieRecent";
const wchar_t kVideoRenderer[] = L"VideoRenderer";
const wchar_t kMemoryCompact[] = L"memoryCompact";
const wchar_t kLayeredWindow[] = L"layeredWindow";

bool ReadBool(const ProfileSection& section, const wchar_t* key, bool defaultValue) {
  return section.ReadInt(key, defaultValue ? 1 : 0) != 0;
}

uint8_t ReadPercent(const ProfileSection& section, const wchar_t* key, int defaultValue) {
  return PercentFromStored(section.ReadInt(key, defaultValue));
}

std::vector<std::wstring> ReadRecentList(const ProfileSection& section, const wchar_t* stem, const std::wstring& path) {
  std::vector<std::wstring> storedValues;
  for (std::size_t position = 0; position < settings_rules::kMaxRecentEntries; ++position) {
    storedValues.push_back(section.ReadString(settings_rules::RecentKeyName(stem, position)));
  }
  return settings_rules::RecentListFromStored(storedValues, path);
}

// Keys past the end of the list are left alone: the file may hold older entries there.
void WriteRecentList(const ProfileSection& section, const wchar_t* stem, const std::vector<std::wstring>& list) {
  for (std::size_t position = 0; position < list.size(); ++position) {
    section.WriteString(settings_rules::RecentKeyName(stem, position), list[position]);
  }
}
}  // namespace

UmbraneConfig::UmbraneConfig(HWND ownerWindow)
    : ownerWindow(ownerWindow),
      folderPath(SettingsFolderPath(ownerWindow)),
      iniPath(folderPath + L"\\" + kSettingsFileName),
      dataFilePath(PackedFrameFilePath()),
      MagType(::MagType::FillMonitor),
      foregroundAlpha(100),
      backgroundAlpha(0),
      frameEnabled(false),
      confineBgFilterToShadowGraph(false),
      bgmEnabled(false),
      bgmVolume(100),
      shadowMovieEnabled(false),
      shadowMovieVolume(100),
      VideoRenderer(VideoRendererType::Vmr7),
      memoryCompact(false),
      layeredWindow(false) {}

void UmbraneConfig::Load() {
  const ProfileSection section(iniPath, kSection);
  MagType = static_cast<::MagType>(section.ReadInt(kMagType, static_cast<int>(::MagType::FillMonitor)));
  foregroundAlpha = ReadPercent(section, kForegroundAlpha, 100);
  // A file from before the key was renamed keeps its background opacity.
  const auto legacyAlpha = static_cast<uint8_t>(section.ReadInt(kLegacyAlpha, 0) & 0xFF);
  backgroundAlpha = ReadPercent(section, kBackgroundAlpha, legacyAlpha);
  frameEnabled = ReadBool(section, kFrameEnabled, true);
  confineBgFilterToShadowGraph = ReadBool(section, kConfineBgFilter, false);
  bgmEnabled = ReadBool(section, kBgmEnabled, false);
  bgmPath = section.ReadString(kBgmPath);
  bgmVolume = ReadPercent(section, kBgmVolume, 100);
  recent = ReadRecentList(section, kRecentStem, bgmPath);
  shadowMovieEnabled = ReadBool(section, kShadowMovieEnabled, false);
  shadowMoviePath = section.ReadString(kShadowMoviePath);
  shadowMovieVolume = ReadPercent(section, kShadowMovieVolume, 100);
  shadowMovieRecent = ReadRecentList(section, kShadowMovieRecentStem, shadowMoviePath);
  VideoRenderer = static_cast<VideoRendererType>(settings_rules::VideoRendererFromStored(
      section.ReadInt(kVideoRenderer, static_cast<int>(VideoRendererType::Vmr7))));
  memoryCompact = ReadBool(section, kMemoryCompact, true);
  layeredWindow = ReadBool(section, kLayeredWindow, false);
}

void UmbraneConfig::Save() {
  // The result is ignored: the folder usually exists already.
  SHCreateDirectoryExW(ownerWindow, folderPath.c_str(), nullptr);

  const ProfileSection section(iniPath, kSection);
  section.CreateAsUnicodeIfMissing();
  section.WriteInt(kMagType, static_cast<int32_t>(MagType));
  section.WriteInt(kForegroundAlpha, foregroundAlpha);
  section.WriteInt(kBackgroundAlpha, backgroundAlpha);
  section.WriteBool(kFrameEnabled, frameEnabled);
  section.WriteBool(kConfineBgFilter, confineBgFilterToShadowGraph);
  section.WriteBool(kBgmEnabled, bgmEnabled);
  section.WriteString(kBgmPath, bgmPath);
  section.WriteInt(kBgmVolume, bgmVolume);
  WriteRecentList(section, kRecentStem, recent);
  section.WriteBool(kShadowMovieEnabled, shadowMovieEnabled);
  section.WriteString(kShadowMoviePath, shadowMoviePath);
  section.WriteInt(kShadowMovieVolume, shadowMovieVolume);
  WriteRecentList(section, kShadowMovieRecentStem, shadowMovieRecent);
  section.WriteInt(kVideoRenderer, static_cast<int32_t>(VideoRenderer));
  section.WriteBool(kMemoryCompact, memoryCompact);
  section.WriteBool(kLayeredWindow, layeredWindow);
  section.Flush();
}

void UmbraneConfig::DeleteFiles() {
  // Both may fail (no file; other files in the folder): nothing to report.
  DeleteFileW(iniPath.c_str());
  RemoveDirectoryW(folderPath.c_str());
}

void UmbraneConfig::SetBgmPath(const std::wstring& path) {
  bgmPath = path;
  settings_rules::MoveToFrontOfRecent(recent, path);
}

void UmbraneConfig::SetShadowMoviePath(const std::wstring& path) {
  shadowMoviePath = path;
  settings_rules::MoveToFrontOfRecent(shadowMovieRecent, path);
}
