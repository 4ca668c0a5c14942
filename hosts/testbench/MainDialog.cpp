#include "hosts/testbench/TestHost.h"
#include "resources/resource.h"

namespace testhost {
namespace {
void SetStatus(HWND dialog, const wchar_t* text) { SetDlgItemTextW(dialog, IDC_HOST_STATUS, text); }

void Close(HWND dialog, const wchar_t* status, INT_PTR result) {
  SetStatus(dialog, status);
  mainDialog = nullptr;
  EndDialog(dialog, result);
}
}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      mainDialog = dialog;
      SetStatus(dialog, L"Ready");
      CheckDlgButton(dialog, IDC_HOST_CONFIRM_BEFORE_START, confirmBeforeStart ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDCANCEL:
          Close(dialog, L"Quit...", IDCANCEL);
          break;
        case IDC_HOST_SMALL_PREVIEW:
        case IDC_HOST_FULL_PREVIEW:
        case IDC_HOST_OPEN_SETTINGS:
          Close(dialog, L"Now Loading...", LOWORD(wParam));
          break;
        case IDC_HOST_CONFIRM_BEFORE_START:
          confirmBeforeStart = IsDlgButtonChecked(dialog, IDC_HOST_CONFIRM_BEFORE_START) == BST_CHECKED;
          break;
        default:
          break;
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace testhost
