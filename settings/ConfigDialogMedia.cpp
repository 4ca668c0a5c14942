// The settings dialog's media groups: option boxes, browsing and auditions.
#include <string>

#include "media/DShowFilterGraph.h"
#include "resources/resource.h"
#include "settings/ConfigDialog.h"
#include "settings/DialogControls.h"
#include "settings/MediaFileBrowse.h"
#include "settings/MediaGroup.h"
#include "settings/UmbraneConfig.h"

using namespace dialog_controls;

namespace {
// Makes X of a 試聴/停止 pair the enabled default button with the focus, and Y neither.
void SwapTo(HWND dialog, int x, int y) {
  const HWND to = GetDlgItem(dialog, x);
  const HWND from = GetDlgItem(dialog, y);
  SetDefaultStyle(to, true);
  EnableWindow(to, TRUE);
  SetDefaultStyle(from, false);
  EnableWindow(from, FALSE);
  SetFocus(to);
}
}  // namespace

void ConfigDialog::MediaOptionClicked(const MediaGroup& group) {
  StopAudition();
  const bool enabled = IsChecked(dialogWindow, group.optionBox);
  (*config).*group.enabled = enabled;
  EnableControls(dialogWindow,
                 {group.pathCombo, group.browseButton, group.volumeLabel, group.volumeNumber, group.volumeTrackbar,
                  group.auditionButton, group.stopButton},
                 enabled);
  EnableApply();
}

// The path member as the combo's text, over a fresh copy of its recent list.
void ConfigDialog::ShowChosenPath(const MediaGroup& group) {
  const HWND combo = GetDlgItem(dialogWindow, group.pathCombo);
  FillCombo(combo, (*config).*group.recent);
  SetWindowTextW(combo, ((*config).*group.path).c_str());
}

void ConfigDialog::Browse(const MediaGroup& group) {
  std::wstring chosen;
  if (!BrowseForMediaFile(dialogWindow, *group.browseBuffer, (*config).*group.path, chosen)) return;
  ((*config).*group.setPath)(chosen);
  ShowChosenPath(group);
}

// While one group plays, the other group's file and volume cannot change, nor this group's file.
void ConfigDialog::AuditionClicked(const MediaGroup& group) {
  if (!Audition((*config).*group.path)) return;
  const MediaGroup& other = OtherGroup(group);
  EnableControls(dialogWindow,
                 {group.pathCombo, group.browseButton, other.pathCombo, other.browseButton, other.volumeTrackbar},
                 false);
  SwapTo(dialogWindow, group.stopButton, group.auditionButton);
}

void ConfigDialog::StopClicked(const MediaGroup& group) {
  StopAudition();
  SwapTo(dialogWindow, group.auditionButton, group.stopButton);
  EnableControls(dialogWindow, {group.pathCombo, group.browseButton}, true);
  const MediaGroup& other = OtherGroup(group);
  if (IsChecked(dialogWindow, other.optionBox)) {
    EnableControls(dialogWindow,
                   {other.pathCombo, other.browseButton, other.volumeLabel, other.volumeNumber, other.volumeTrackbar},
                   true);
  }
}

bool ConfigDialog::Audition(const std::wstring& path) {
  if (!auditionGraph) return true;  // without DirectShow there is nothing to play
  if (!auditionGraph->CanPlaySound()) {
    ShowError(dialogWindow, L"音声を再生できる装置が見つかりませんでした。", L"ERROR");
    return false;
  }
  // No file is no file, even though an empty graph would "play": say so instead of pretending.
  if (path.empty() || auditionGraph->path() != path) {
    if (path.empty() || !auditionGraph->Open(path)) {
      ShowError(dialogWindow, L"ファイルを開けません。", L"ERROR");
      return false;
    }
  }
  if (!auditionGraph->Run(0)) {
    ShowError(dialogWindow, L"ファイルを再生できませんでした。", L"ERROR");
    return false;
  }
  return true;
}

void ConfigDialog::StopAudition() {
  if (!auditionGraph) return;
  auditionGraph->Stop(0);
  auditionGraph->Rewind();
}
