#include "settings/DialogControls.h"

#include <commctrl.h>

namespace dialog_controls {

void EnableControls(HWND dialog, std::initializer_list<int> ids, bool enabled) {
  for (int id : ids) EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetChecked(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void ShowNumber(HWND dialog, int id, unsigned value) { SetDlgItemInt(dialog, id, value, FALSE); }

void SetUpPercentTrackbar(HWND dialog, int trackbarId, int numberId, uint8_t value) {
  const HWND trackbar = GetDlgItem(dialog, trackbarId);
  SendMessageW(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
  SendMessageW(trackbar, TBM_SETTICFREQ, 10, 0);
  SendMessageW(trackbar, TBM_SETPAGESIZE, 0, 10);
  SendMessageW(trackbar, TBM_SETPOS, TRUE, value);
  ShowNumber(dialog, numberId, value);
}

void SetDefaultStyle(HWND button, bool isDefault) {
  SendMessageW(button, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

std::wstring ComboText(HWND combo) {
  std::wstring text(kTextUnits, L'\0');
  const int length = GetWindowTextW(combo, &text[0], kTextUnits);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

void FillCombo(HWND combo, const std::vector<std::wstring>& entries) {
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& entry : entries) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
}

bool SelectExactEntry(HWND combo, const std::wstring& text) {
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length != static_cast<LRESULT>(text.size())) continue;
    std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&entry[0]));
    entry.resize(static_cast<std::size_t>(length));
    if (entry == text) {
      SendMessageW(combo, CB_SETCURSEL, index, 0);
      return true;
    }
  }
  return false;
}

std::wstring ResourceString(HINSTANCE instance, UINT id) {
  const wchar_t* text = nullptr;
  // A length of 0 asks for a pointer into the resource itself, which is not terminated.
  const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

void ShowError(HWND dialog, const wchar_t* text, const wchar_t* caption) {
  MessageBoxW(dialog, text, caption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace dialog_controls
