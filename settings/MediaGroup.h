#pragma once
// The settings dialog's two media groups (background media, shadow movie) behave alike: one
// description each names its controls and its settings.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/MediaFileBrowse.h"
#include "settings/UmbraneConfig.h"

struct MediaGroup {
  int optionBox;
  int pathCombo;
  int browseButton;
  int volumeLabel;
  int volumeNumber;
  int volumeTrackbar;
  int auditionButton;
  int stopButton;
  bool UmbraneConfig::*enabled;
  std::wstring UmbraneConfig::*path;
  std::vector<std::wstring> UmbraneConfig::*recent;
  uint8_t UmbraneConfig::*volume;
  void (UmbraneConfig::*setPath)(const std::wstring&);
  // At start the shadow movie's 試聴 follows its option; the background's stays as it is.
  bool auditionFollowsOption;
  // Process-wide: the combo's selection when its list opened (-1: none), and the 参照 button's
  // file-name buffer, both kept between openings of the dialog.
  int* rememberedSelection;
  wchar_t (*browseBuffer)[kBrowseBufferUnits];
};

extern const MediaGroup kBackgroundMedia;
extern const MediaGroup kShadowMovie;

inline const MediaGroup& OtherGroup(const MediaGroup& group) {
  return &group == &kBackgroundMedia ? kShadowMovie : kBackgroundMedia;
}
