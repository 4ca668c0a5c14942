#pragma once
// The settings dialog (resource 2003).
#include <windows.h>

#include "engine/UmbraneAppBase.h"

class ConfigDialog : public UmbraneAppBase {
 public:
  explicit ConfigDialog(HINSTANCE instance);
  ~ConfigDialog() override;

  // The body of the dialog procedure.
  INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND dialogWindow = nullptr;
  HINSTANCE instance = nullptr;
};
