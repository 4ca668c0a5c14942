#pragma once
// A real top-level window standing in for a host: its procedure counts what reaches it and can
// own an engine the way the hosts do (created on demand, deleted on WM_DESTROY).
#include <windows.h>

#include <functional>
#include <map>

class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND hwnd() const { return window_; }
  bool alive() const { return window_ != nullptr && IsWindow(window_); }
  int seen(UINT message) const {
    auto it = seen_.find(message);
    return it == seen_.end() ? 0 : it->second;
  }
  WPARAM lastTimerId() const { return lastTimerId_; }

  // Runs on WM_DESTROY, like the hosts' deletion of their engine.
  std::function<void()> onDestroy;
  // Sees every message that reaches the host's procedure before it is handled (and may change
  // what its lParam points to, as a host's procedure may).
  std::function<void(UINT message, WPARAM wParam, LPARAM lParam)> onMessage;

  // Dispatches everything queued for this thread, for at most the given time.
  static void Pump(DWORD milliseconds);
  // Dispatches this thread's messages until the condition holds; false when the ceiling passed
  // first. The ceiling is for a hung test only: a loaded machine may take many times the usual.
  template <typename Condition>
  static bool PumpUntil(Condition condition, DWORD ceilingMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
      if (GetTickCount() - start > ceilingMs) return false;
      Pump(5);
    }
    return true;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::map<UINT, int> seen_;
  WPARAM lastTimerId_ = 0;
};
