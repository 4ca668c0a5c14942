#include "DisplayNotification.h"

#include <cstddef>

void DeliverDisplayState(HWND window, DWORD value, const GUID& setting, DWORD length) {
  struct {
    GUID setting;
    DWORD length;
    DWORD value;
  } notification{setting, length, value};
  static_assert(offsetof(decltype(notification), value) == offsetof(POWERBROADCAST_SETTING, Data), "layout");
  SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&notification));
}
