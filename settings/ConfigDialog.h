#pragma once
// The settings dialog (resource 2003): every setting shown and edited, a still preview of the
// look, auditions of the chosen media files, Apply and OK saving the settings file.
#include <windows.h>

#include <memory>
#include <string>

#include "base/UmbraneAppBase.h"

class ConfigPreviewWindow;
class DShowFilterGraph;
class UmbraneConfig;
struct MediaGroup;

class ConfigDialog : public UmbraneAppBase {
 public:
  // Also initialises the common controls, the link control among them.
  explicit ConfigDialog(HINSTANCE instance);
  ~ConfigDialog() override;

  // The body of the dialog procedure of dialog 2003.
  INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND dialogWindow = nullptr;
  HINSTANCE instance = nullptr;
  std::unique_ptr<ConfigPreviewWindow> preview;
  std::unique_ptr<UmbraneConfig> config;
  std::unique_ptr<DShowFilterGraph> auditionGraph;  // null when DirectShow could not be set up

 private:
  void Initialise();
  // Where the preview goes for the primary screen: its shape, as large as the placeholder allows,
  // at the placeholder's top left (dialog client coordinates).
  RECT PreviewPlace(const RECT& screen) const;
  void PlacePreview();
  // The dialog was laid out for another scale, or the screens changed: the preview is placed and
  // composed anew at its new size (never a bitmap stretched).
  void FitPreview();
  void FillMagnificationCombo();
  void ShowMediaGroup(const MediaGroup& group);

  void RunCommand(int id, int code);
  void MagnificationCommand(int code);
  void MediaPathCommand(const MediaGroup& group, int code);
  void MediaOptionClicked(const MediaGroup& group);
  void Browse(const MediaGroup& group);
  void AuditionClicked(const MediaGroup& group);
  void StopClicked(const MediaGroup& group);
  void Apply();
  void DeleteSettingsFile();
  void SliderMoved(int trackbarId, int position);
  void LinkClicked(LPARAM lParam);

  bool Audition(const std::wstring& path);
  void StopAudition();
  void ShowChosenPath(const MediaGroup& group);
  void PreviewChanged();
  void EnableApply();
};
