#pragma once
// The still preview at the top left of the settings dialog (child window 5000): the sample frame
// (bitmap 103) composed with the current magnification, opacities, borders and see-through limit
// over a checkerboard. The dialog hands it the settings with ShowLook and repaints the window
// itself.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "render/MagType.h"
#include "base/GdiHandles.h"
#include "settings/PreviewComposition.h"

class UmbraneConfig;

class ConfigPreviewWindow {
 public:
  // Registers the window class "preview frame" and creates the window inside parent at placement
  // (parent client coordinates). Fatal when the class or the window cannot be made.
  static std::unique_ptr<ConfigPreviewWindow> Create(HINSTANCE instance, const RECT& screenRect, HWND parent,
                                                     const RECT& placement);
  virtual ~ConfigPreviewWindow();
  ConfigPreviewWindow(const ConfigPreviewWindow&) = delete;
  ConfigPreviewWindow& operator=(const ConfigPreviewWindow&) = delete;

  // Takes the five look settings (magnification, the two opacities, borders, see-through limit)
  // from config, places the picture anew when the magnification changed, and composes the preview.
  void ShowLook(const UmbraneConfig& config);
  // Places the picture for clientRect, the magnification and screenRect.
  void UpdateLayout();
  // Composes the preview into bitmap; does not invalidate the window.
  void Render();

  HINSTANCE instance;
  HWND window = nullptr;
  RECT clientRect{};
  int32_t pictureX = 0;
  int32_t pictureY = 0;
  int32_t pictureWidth = 0;
  int32_t pictureHeight = 0;
  RECT screenRect;
  GdiBitmap bitmap;  // the finished preview, 32 bits per pixel, client size, rows bottom-up
  uint32_t* bits = nullptr;

 private:
  ConfigPreviewWindow(HINSTANCE instance, const RECT& screenRect);
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();

  MagType magType_ = MagType::FillMonitor;
  preview_composition::Look look_;

  int32_t bitmapWidth_ = 0;
  int32_t bitmapHeight_ = 0;
};
