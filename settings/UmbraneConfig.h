#pragma once
// Every user setting of the program, read from and written to the settings file
// "%APPDATA%\Sorahane\kagemira.ini" (section "config"), plus the paths the program needs.
// Each user keeps its own instance: construct, Load, then read and change the members freely.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/MagType.h"

class UmbraneConfig {
 public:
  // Which video mixing renderer plays movies. Users test for Vmr7: any other value (a stored
  // -3, say) behaves as Vmr9.
  enum VideoRendererType : int32_t { Vmr7 = 0, Vmr9 = 1 };

  // Resolves the three paths and sets the values of a never-loaded instance; reads no file.
  // Ends the process (fatal) when no application-data folder exists.
  explicit UmbraneConfig(HWND ownerWindow);
  virtual ~UmbraneConfig() = default;
  UmbraneConfig(const UmbraneConfig&) = delete;
  UmbraneConfig& operator=(const UmbraneConfig&) = delete;

  // Reads every key; absent keys or an absent file give the defaults of a fresh installation.
  void Load();
  // Creates the settings folder when needed and writes every key. Failures are silent.
  void Save();
  // Deletes the settings file, then the settings folder if it is empty. Failures are silent.
  void DeleteFiles();

  // Set the path and move it to the front of its recent list.
  void SetBgmPath(const std::wstring& path);
  void SetShadowMoviePath(const std::wstring& path);

  // Owner of whatever the shell shows while the settings folder is resolved (construction) and
  // created (Save).
  HWND ownerWindow;
  std::wstring folderPath;
  std::wstring iniPath;
  std::wstring dataFilePath;

  ::MagType MagType;        // "::": the member's name hides the type's inside the class
  uint8_t foregroundAlpha;  // percent
  uint8_t backgroundAlpha;  // percent
  bool frameEnabled;
  bool confineBgFilterToShadowGraph;
  bool bgmEnabled;
  std::wstring bgmPath;
  std::vector<std::wstring> recent;  // most recent first, at most 10
  uint8_t bgmVolume;                 // percent
  bool shadowMovieEnabled;
  std::wstring shadowMoviePath;
  std::vector<std::wstring> shadowMovieRecent;  // most recent first, at most 10
  uint8_t shadowMovieVolume;                    // percent
  VideoRendererType VideoRenderer;
  bool memoryCompact;
  bool layeredWindow;
};
