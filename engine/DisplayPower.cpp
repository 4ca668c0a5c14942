#include "engine/DisplayPower.h"

#include <utility>

namespace {
// Values of both display settings: 0 off, 1 on, 2 dimmed.
constexpr DWORD kDisplayOff = 0;

bool IsDisplaySetting(const GUID& setting) {
  return IsEqualGUID(setting, GUID_CONSOLE_DISPLAY_STATE) || IsEqualGUID(setting, GUID_MONITOR_POWER_ON);
}
}  // namespace

PowerNotification::~PowerNotification() {
  if (registration_ != nullptr) UnregisterPowerSettingNotification(registration_);
}

PowerNotification::PowerNotification(PowerNotification&& other) noexcept
    : registration_(std::exchange(other.registration_, nullptr)) {}

PowerNotification& PowerNotification::operator=(PowerNotification&& other) noexcept {
  if (this != &other) {
    PowerNotification old(std::move(*this));
    registration_ = std::exchange(other.registration_, nullptr);
  }
  return *this;
}

PowerNotification RegisterForDisplayState(HWND window) {
  for (const GUID* setting : {&GUID_CONSOLE_DISPLAY_STATE, &GUID_MONITOR_POWER_ON}) {
    if (HPOWERNOTIFY registration = RegisterPowerSettingNotification(window, setting, DEVICE_NOTIFY_WINDOW_HANDLE)) {
      return PowerNotification(registration);
    }
  }
  return PowerNotification();
}

DisplayNews ReadDisplayNews(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_POWERBROADCAST || wParam != PBT_POWERSETTINGCHANGE || lParam == 0) return DisplayNews::None;
  const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
  if (!IsDisplaySetting(setting->PowerSetting) || setting->DataLength < sizeof(DWORD)) return DisplayNews::None;
  DWORD value = 0;
  CopyMemory(&value, setting->Data, sizeof value);  // the data need not be aligned
  return value == kDisplayOff ? DisplayNews::Off : DisplayNews::On;
}
