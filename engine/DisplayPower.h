#pragma once
// Whether anybody can see the picture: the console display's power state, as the system announces
// it to a window registered for it (WM_POWERBROADCAST with PBT_POWERSETTINGCHANGE).
#include <windows.h>

// Owns one registration of a window for a power setting's notifications.
class PowerNotification {
 public:
  PowerNotification() = default;
  explicit PowerNotification(HPOWERNOTIFY registration) : registration_(registration) {}
  ~PowerNotification();
  PowerNotification(const PowerNotification&) = delete;
  PowerNotification& operator=(const PowerNotification&) = delete;
  PowerNotification(PowerNotification&& other) noexcept;
  PowerNotification& operator=(PowerNotification&& other) noexcept;

  explicit operator bool() const { return registration_ != nullptr; }

 private:
  HPOWERNOTIFY registration_ = nullptr;
};

// Registers the window for the console display state (before Windows 8, which does not know it:
// the monitor power state). The system answers at once with the current state. An empty
// registration when neither can be had: the picture is then drawn as if the display were on.
PowerNotification RegisterForDisplayState(HWND window);

// What a window message says about the display: not a display-state notification at all (any
// other message, another setting, a malformed one), or the display is off, or it is on (dimmed
// counts as on: the picture is still seen).
enum class DisplayNews { None, Off, On };
DisplayNews ReadDisplayNews(UINT message, WPARAM wParam, LPARAM lParam);
