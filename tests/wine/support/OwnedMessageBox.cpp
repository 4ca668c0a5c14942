#include "OwnedMessageBox.h"

namespace {
// The message box's text and icon controls.
constexpr int kTextControl = 0xFFFF;
constexpr int kIconControl = 0x0440;

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}
}  // namespace

HWND OwnedMessageBox(HWND owner) {
  struct Search {
    HWND owner;
    HWND found;
  } search{owner, nullptr};
  EnumThreadWindows(
      GetWindowThreadProcessId(owner, nullptr),
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"#32770" && GetWindow(window, GW_OWNER) == s->owner) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

MessageBoxSeen AnswerOwnedMessageBox(HWND owner, DWORD ceilingMs, const std::atomic<bool>* giveUp) {
  MessageBoxSeen seen;
  const DWORD start = GetTickCount();
  HWND box = nullptr;
  while ((box = OwnedMessageBox(owner)) == nullptr) {
    if (GetTickCount() - start > ceilingMs || (giveUp && *giveUp)) return seen;
    Sleep(10);
  }
  // The box exists before its controls are filled in: wait for its text too.
  while (TextOf(GetDlgItem(box, kTextControl)).empty() && GetTickCount() - start <= ceilingMs) Sleep(10);
  seen.shown = true;
  seen.caption = TextOf(box);
  seen.text = TextOf(GetDlgItem(box, kTextControl));
  const HICON icon = reinterpret_cast<HICON>(SendMessageW(GetDlgItem(box, kIconControl), STM_GETICON, 0, 0));
  seen.errorIcon = icon != nullptr && icon == LoadIconW(nullptr, IDI_ERROR);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return seen;
}
