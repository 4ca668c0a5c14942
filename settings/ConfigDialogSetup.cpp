// What the settings dialog shows when it opens.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "base/FatalCheck.h"
#include "media/DShowFilterGraph.h"
#include "render/LayoutGeometry.h"
#include "resources/resource.h"
#include "settings/ConfigDialog.h"
#include "settings/ConfigPreviewWindow.h"
#include "settings/D3dxNotice.h"
#include "settings/DialogControls.h"
#include "settings/MediaGroup.h"
#include "settings/UmbraneConfig.h"

using namespace dialog_controls;

namespace {
struct MagnificationEntry {
  MagType value;
  UINT text;
};
// In the order the list shows them; the default carries the mark "（規定値）".
const MagnificationEntry kMagnificationEntries[] = {
    {MagType::ActualSize, IDS_MAG_ACTUAL_SIZE},         {MagType::FitMonitor, IDS_MAG_FIT_MONITOR},
    {MagType::StretchMonitor, IDS_MAG_STRETCH_MONITOR}, {MagType::FillMonitor, IDS_MAG_FILL_MONITOR},
    {MagType::FillDesktop, IDS_MAG_FILL_DESKTOP},       {MagType::FitDesktop, IDS_MAG_FIT_DESKTOP},
};
}  // namespace

void ConfigDialog::Initialise() {
  // A dialog object opened a second time starts afresh.
  preview.reset();
  config = std::make_unique<UmbraneConfig>(dialogWindow);
  config->Load();

  auditionGraph = std::make_unique<DShowFilterGraph>();
  auditionGraph->SetVolume(config->bgmVolume);
  if (!auditionGraph->Initialize(dialogWindow, nullptr, nullptr)) {
    ShowError(dialogWindow, L"DirectXの初期化に失敗しました。", L"えらー");
    auditionGraph.reset();
    EnableControls(dialogWindow, {IDC_BGM_PLAY, IDC_SHADOW_MOVIE_PLAY}, false);
  }

  EnableControls(dialogWindow, {IDC_APPLY}, false);
  PlacePreview();
  FillMagnificationCombo();

  SetUpPercentTrackbar(dialogWindow, IDC_BG_ALPHA, IDC_BG_ALPHA_VALUE, config->backgroundAlpha);
  SetUpPercentTrackbar(dialogWindow, IDC_FG_ALPHA, IDC_FG_ALPHA_VALUE, config->foregroundAlpha);
  SetChecked(dialogWindow, IDC_FRAME_ENABLED, config->frameEnabled);
  SetChecked(dialogWindow, IDC_CONFINE_BG_FILTER, config->confineBgFilterToShadowGraph);
  preview->ShowLook(*config);

  ShowMediaGroup(kBackgroundMedia);
  ShowMediaGroup(kShadowMovie);

  SetChecked(dialogWindow, config->VideoRenderer == UmbraneConfig::Vmr7 ? IDC_RENDERER_VMR7 : IDC_RENDERER_VMR9, true);
  SetChecked(dialogWindow, IDC_MEMORY_COMPACT, config->memoryCompact);
  SetChecked(dialogWindow, IDC_LAYERED_WINDOW, config->layeredWindow);

  SetDlgItemTextW(dialogWindow, IDC_D3DX_NOTICE, D3dxNoticeText(ShadowEffectAvailable()).c_str());
}

namespace {
RECT PrimaryScreenRect() {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  FatalUnless(screenWidth > 0 && screenHeight > 0, "the primary screen has no size");
  return {0, 0, screenWidth, screenHeight};
}
}  // namespace

RECT ConfigDialog::PreviewPlace(const RECT& screen) const {
  RECT placeholder{};
  GetWindowRect(GetDlgItem(dialogWindow, IDC_PREVIEW_PLACEHOLDER), &placeholder);
  MapWindowPoints(nullptr, dialogWindow, reinterpret_cast<POINT*>(&placeholder), 2);
  const double scale = std::min(static_cast<double>(placeholder.right - placeholder.left) / screen.right,
                                static_cast<double>(placeholder.bottom - placeholder.top) / screen.bottom);
  const RECT place{placeholder.left, placeholder.top, placeholder.left + RoundHalfUp(screen.right * scale),
                   placeholder.top + RoundHalfUp(screen.bottom * scale)};
  RECT common{};
  FatalUnless(IntersectRect(&common, &place, &placeholder) && EqualRect(&common, &place),
              "the preview does not fit its placeholder");
  return place;
}

void ConfigDialog::PlacePreview() {
  const RECT screen = PrimaryScreenRect();
  preview = ConfigPreviewWindow::Create(instance, screen, dialogWindow, PreviewPlace(screen));
}

void ConfigDialog::FitPreview() {
  if (!preview || preview->window == nullptr) return;
  preview->screenRect = PrimaryScreenRect();
  const RECT place = PreviewPlace(preview->screenRect);
  // The size message that follows reads the new client area and lays the picture out for it.
  SetWindowPos(preview->window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  preview->UpdateLayout();  // for the screen's new shape, when only that changed
  preview->Render();
  InvalidateRect(preview->window, nullptr, TRUE);
  UpdateWindow(preview->window);
}

void ConfigDialog::FillMagnificationCombo() {
  const HWND combo = GetDlgItem(dialogWindow, IDC_MAG_TYPE);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  LRESULT selected = 0;  // a stored value the list does not have shows the first entry
  for (const MagnificationEntry& entry : kMagnificationEntries) {
    std::wstring text = ResourceString(instance, entry.text);
    if (entry.value == MagType::FillMonitor) text += ResourceString(instance, IDS_DEFAULT_MARK);
    const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, index, static_cast<LPARAM>(entry.value));
    if (entry.value == config->MagType) selected = index;
  }
  SendMessageW(combo, CB_SETCURSEL, selected, 0);
}

void ConfigDialog::ShowMediaGroup(const MediaGroup& group) {
  const bool enabled = (*config).*group.enabled;
  SetChecked(dialogWindow, group.optionBox, enabled);
  EnableControls(dialogWindow, {group.pathCombo, group.browseButton}, enabled);
  if (group.auditionFollowsOption) EnableControls(dialogWindow, {group.auditionButton}, enabled);
  SetUpPercentTrackbar(dialogWindow, group.volumeTrackbar, group.volumeNumber, (*config).*group.volume);
  EnableControls(dialogWindow, {group.stopButton}, false);
  const HWND combo = GetDlgItem(dialogWindow, group.pathCombo);
  FillCombo(combo, (*config).*group.recent);
  SelectExactEntry(combo, (*config).*group.path);
}
