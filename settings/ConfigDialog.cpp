#include "settings/ConfigDialog.h"

ConfigDialog::ConfigDialog(HINSTANCE moduleInstance) : instance(moduleInstance) {}

ConfigDialog::~ConfigDialog() = default;

// For now the dialog only shows its controls and closes: OK with 1, キャンセル with 2.
INT_PTR ConfigDialog::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      dialogWindow = window;
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          EndDialog(window, 1);
          break;
        case IDCANCEL:
          EndDialog(window, 2);
          break;
        default:
          break;
      }
      return TRUE;
    default:
      return FALSE;
  }
}
