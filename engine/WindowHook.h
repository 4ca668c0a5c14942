#pragma once
// Attaches a handler to a window that somebody else created: the handler sees every message first
// and passes what it does not consume on to the window's previous procedure.
#include <windows.h>

#include <functional>

// Calls the window's previous procedure with the message it was built for.
class DefaultProc {
 public:
  DefaultProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
      : previous_(previous), window_(window), message_(message), wParam_(wParam), lParam_(lParam) {}
  LRESULT operator()() const { return CallWindowProcW(previous_, window_, message_, wParam_, lParam_); }

 private:
  WNDPROC previous_;
  HWND window_;
  UINT message_;
  WPARAM wParam_;
  LPARAM lParam_;
};

using MessageHandler = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam, DefaultProc defaultProc)>;

// True when the window was hooked now; false for a missing window or one that is hooked already
// (the first handler stays).
bool HookWindow(HWND window, MessageHandler handler);
// True when the window had an entry. The window keeps the hook procedure, which from then on gives
// every message default processing. So a window is hooked once in its life: hooked again, it
// records the hook procedure as its previous one, and the first message its handler passes on
// comes back to the hook procedure without end.
bool UnhookWindow(HWND window);

LRESULT CALLBACK HookedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
