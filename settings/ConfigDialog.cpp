#include "settings/ConfigDialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "media/DShowFilterGraph.h"
#include "resources/resource.h"
#include "settings/ConfigPreviewWindow.h"
#include "settings/DialogControls.h"
#include "settings/MediaGroup.h"
#include "settings/UmbraneConfig.h"

using namespace dialog_controls;

namespace {
// Posted to the dialog after a change of scale, once the system has laid the dialog out anew.
constexpr UINT kFitPreviewMessage = WM_APP + 1;

// Process-wide: the magnification combo's selection when its list opened (-1: none).
int rememberedMagnification = -1;

// Puts back the selection a combo had when its list opened, if the user cancelled the list.
void RestoreRemembered(HWND combo, int& remembered) {
  if (remembered == -1) return;
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(remembered), 0);
  remembered = -1;
}

void Remember(HWND combo, int& remembered) { remembered = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
}  // namespace

ConfigDialog::ConfigDialog(HINSTANCE moduleInstance) : instance(moduleInstance) {
  InitCommonControls();
  INITCOMMONCONTROLSEX link{sizeof link, ICC_LINK_CLASS};
  InitCommonControlsEx(&link);
}

ConfigDialog::~ConfigDialog() {
  preview.reset();
  config.reset();
  auditionGraph.reset();
}

INT_PTR ConfigDialog::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      dialogWindow = window;
      Initialise();
      return FALSE;  // no initial focus is set
    case WM_COMMAND:
      RunCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_HSCROLL: {
      const HWND trackbar = reinterpret_cast<HWND>(lParam);
      if (trackbar == nullptr) return FALSE;
      int position = 0;
      if (LOWORD(wParam) == TB_THUMBTRACK) {
        position = HIWORD(wParam);
      } else if (LOWORD(wParam) == TB_ENDTRACK) {
        position = static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
      } else {
        return FALSE;
      }
      SliderMoved(GetDlgCtrlID(trackbar), position);
      return TRUE;
    }
    case WM_NOTIFY:
      LinkClicked(lParam);
      return FALSE;
    case WM_DPICHANGED:
      // Not handled here: the dialog manager scales the dialog, its fonts and its controls where
      // the system does that (per-monitor v2). The preview follows once it is done.
      PostMessageW(window, kFitPreviewMessage, 0, 0);
      return FALSE;
    case WM_DISPLAYCHANGE:
      FitPreview();
      return FALSE;
    case kFitPreviewMessage:
      FitPreview();
      return TRUE;
    default:
      return FALSE;
  }
}

void ConfigDialog::RunCommand(int id, int code) {
  if (!config) return;  // nothing before initialisation
  switch (id) {
    case IDOK:
      config->Save();
      EndDialog(dialogWindow, 1);
      break;
    case IDCANCEL:
      EndDialog(dialogWindow, 2);
      break;
    case IDC_APPLY:
      Apply();
      break;
    case IDC_DELETE_SETTINGS:
      DeleteSettingsFile();
      break;
    case IDC_MAG_TYPE:
      MagnificationCommand(code);
      break;
    case IDC_FRAME_ENABLED:
      if (code != BN_CLICKED) break;
      config->frameEnabled = IsChecked(dialogWindow, IDC_FRAME_ENABLED);
      PreviewChanged();
      break;
    case IDC_CONFINE_BG_FILTER:
      if (code != BN_CLICKED) break;
      config->confineBgFilterToShadowGraph = IsChecked(dialogWindow, IDC_CONFINE_BG_FILTER);
      PreviewChanged();
      break;
    case IDC_BGM_ENABLED:
      MediaOptionClicked(kBackgroundMedia);
      break;
    case IDC_SHADOW_MOVIE_ENABLED:
      MediaOptionClicked(kShadowMovie);
      break;
    case IDC_BGM_PATH:
      MediaPathCommand(kBackgroundMedia, code);
      break;
    case IDC_SHADOW_MOVIE_PATH:
      MediaPathCommand(kShadowMovie, code);
      break;
    case IDC_BGM_BROWSE:
      Browse(kBackgroundMedia);
      break;
    case IDC_SHADOW_MOVIE_BROWSE:
      Browse(kShadowMovie);
      break;
    case IDC_BGM_PLAY:
      AuditionClicked(kBackgroundMedia);
      break;
    case IDC_SHADOW_MOVIE_PLAY:
      AuditionClicked(kShadowMovie);
      break;
    case IDC_BGM_STOP:
      StopClicked(kBackgroundMedia);
      break;
    case IDC_SHADOW_MOVIE_STOP:
      StopClicked(kShadowMovie);
      break;
    // These take effect at the next start and do not enable 適用; OK saves them all the same.
    case IDC_RENDERER_VMR7:
    case IDC_RENDERER_VMR9:
      config->VideoRenderer = IsChecked(dialogWindow, IDC_RENDERER_VMR7) ? UmbraneConfig::Vmr7 : UmbraneConfig::Vmr9;
      break;
    case IDC_MEMORY_COMPACT:
      config->memoryCompact = IsChecked(dialogWindow, IDC_MEMORY_COMPACT);
      break;
    case IDC_LAYERED_WINDOW:
      config->layeredWindow = IsChecked(dialogWindow, IDC_LAYERED_WINDOW);
      break;
    default:
      break;
  }
}

void ConfigDialog::MagnificationCommand(int code) {
  const HWND combo = GetDlgItem(dialogWindow, IDC_MAG_TYPE);
  switch (code) {
    case CBN_DROPDOWN:
      Remember(combo, rememberedMagnification);
      break;
    case CBN_SELENDOK: {
      rememberedMagnification = -1;
      const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
      if (selected == CB_ERR) break;
      config->MagType = static_cast<MagType>(SendMessageW(combo, CB_GETITEMDATA, selected, 0));
      PreviewChanged();
      break;
    }
    case CBN_SELENDCANCEL:
      RestoreRemembered(combo, rememberedMagnification);
      break;
    default:
      break;
  }
}

void ConfigDialog::MediaPathCommand(const MediaGroup& group, int code) {
  const HWND combo = GetDlgItem(dialogWindow, group.pathCombo);
  switch (code) {
    case CBN_DROPDOWN:
      Remember(combo, *group.rememberedSelection);
      break;
    case CBN_SELENDOK:
      *group.rememberedSelection = -1;
      ((*config).*group.setPath)(ComboText(combo));
      EnableApply();
      break;
    case CBN_SELENDCANCEL:
      RestoreRemembered(combo, *group.rememberedSelection);
      break;
    case CBN_KILLFOCUS:
      ((*config).*group.setPath)(ComboText(combo));
      ShowChosenPath(group);
      EnableApply();
      break;
    default:
      break;
  }
}

void ConfigDialog::Apply() {
  config->Save();
  const HWND ok = GetDlgItem(dialogWindow, IDOK);
  const HWND apply = GetDlgItem(dialogWindow, IDC_APPLY);
  SendMessageW(dialogWindow, DM_SETDEFID, IDOK, 0);
  EnableWindow(ok, TRUE);
  SetDefaultStyle(ok, true);
  SetFocus(ok);
  SetDefaultStyle(apply, false);
  EnableWindow(apply, FALSE);
}

void ConfigDialog::DeleteSettingsFile() {
  const std::wstring text = ResourceString(instance, IDS_CONFIRM_DELETE_SETTINGS);
  const std::wstring caption = ResourceString(instance, IDS_TITLE);
  if (MessageBoxW(dialogWindow, text.c_str(), caption.c_str(), MB_OKCANCEL) != IDOK) return;
  config->DeleteFiles();
  EndDialog(dialogWindow, 1);
}

void ConfigDialog::SliderMoved(int trackbarId, int position) {
  const auto percent = static_cast<uint8_t>(std::clamp(position, 0, 100));
  switch (trackbarId) {
    case IDC_BG_ALPHA:
      ShowNumber(dialogWindow, IDC_BG_ALPHA_VALUE, percent);
      config->backgroundAlpha = percent;
      PreviewChanged();
      break;
    case IDC_FG_ALPHA:
      ShowNumber(dialogWindow, IDC_FG_ALPHA_VALUE, percent);
      config->foregroundAlpha = percent;
      PreviewChanged();
      break;
    case IDC_BGM_VOLUME:
    case IDC_SHADOW_MOVIE_VOLUME: {
      const MediaGroup& group = trackbarId == IDC_BGM_VOLUME ? kBackgroundMedia : kShadowMovie;
      ShowNumber(dialogWindow, group.volumeNumber, percent);
      (*config).*group.volume = percent;
      if (auditionGraph) auditionGraph->SetVolume(percent);
      EnableApply();
      break;
    }
    default:
      break;
  }
}

void ConfigDialog::LinkClicked(LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header == nullptr || header->idFrom != IDC_D3DX_NOTICE) return;
  // Enter on the focused link opens it as a click does.
  if (header->code != NM_CLICK && header->code != NM_RETURN) return;
  const auto* link = reinterpret_cast<const NMLINK*>(lParam);
  ShellExecuteW(dialogWindow, nullptr, link->item.szUrl, nullptr, nullptr, SW_SHOWDEFAULT);
}

// A look setting changed: compose the preview again, show it at once, and 適用 is worth pressing.
void ConfigDialog::PreviewChanged() {
  preview->ShowLook(*config);
  EnableApply();
  InvalidateRect(preview->window, nullptr, TRUE);
  UpdateWindow(preview->window);
}

void ConfigDialog::EnableApply() { EnableWindow(GetDlgItem(dialogWindow, IDC_APPLY), TRUE); }
