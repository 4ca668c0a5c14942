#include <gtest/gtest.h>

#include "HostWindow.h"
#include "engine/WindowHook.h"

namespace {

constexpr UINT kProbe = WM_APP + 7;

MessageHandler Consuming(int& calls) {
  return [&calls](UINT message, WPARAM, LPARAM, DefaultProc defaultProc) -> LRESULT {
    if (message == kProbe) {
      ++calls;
      return 42;
    }
    return defaultProc();
  };
}

TEST(WindowHook, HandlerSeesMessagesFirstAndPassesTheRestToTheHost) {
  HostWindow host;
  int calls = 0;
  ASSERT_TRUE(HookWindow(host.hwnd(), Consuming(calls)));
  EXPECT_EQ(SendMessageW(host.hwnd(), kProbe, 0, 0), 42);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(host.seen(kProbe), 0);

  SendMessageW(host.hwnd(), WM_APP + 8, 0, 0);
  EXPECT_EQ(host.seen(WM_APP + 8), 1);
  EXPECT_TRUE(UnhookWindow(host.hwnd()));
}

TEST(WindowHook, SecondHookIsRefusedAndTheFirstHandlerStays) {
  HostWindow host;
  int first = 0, second = 0;
  ASSERT_TRUE(HookWindow(host.hwnd(), Consuming(first)));
  EXPECT_FALSE(HookWindow(host.hwnd(), Consuming(second)));
  SendMessageW(host.hwnd(), kProbe, 0, 0);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
  // The host still gets what the handler passes on: its procedure was not lost by the second hook.
  SendMessageW(host.hwnd(), WM_APP + 9, 0, 0);
  EXPECT_EQ(host.seen(WM_APP + 9), 1);
  UnhookWindow(host.hwnd());
}

TEST(WindowHook, MissingWindowsAndUnknownWindowsAreRefused) {
  int calls = 0;
  EXPECT_FALSE(HookWindow(nullptr, Consuming(calls)));
  HWND gone;
  {
    HostWindow host;
    gone = host.hwnd();
  }
  EXPECT_FALSE(HookWindow(gone, Consuming(calls)));
  HostWindow neverHooked;
  EXPECT_FALSE(UnhookWindow(neverHooked.hwnd()));
}

TEST(WindowHook, AfterUnhookMessagesGetDefaultProcessingOnly) {
  HostWindow host;
  int calls = 0;
  ASSERT_TRUE(HookWindow(host.hwnd(), Consuming(calls)));
  ASSERT_TRUE(UnhookWindow(host.hwnd()));
  EXPECT_FALSE(UnhookWindow(host.hwnd()));
  EXPECT_EQ(SendMessageW(host.hwnd(), kProbe, 0, 0), 0);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(host.seen(kProbe), 0);
  // The table takes the window again; no message may reach it now, as whatever the handler passed
  // on would come back to it without end (see UnhookWindow).
  EXPECT_TRUE(HookWindow(host.hwnd(), Consuming(calls)));
  UnhookWindow(host.hwnd());
}

TEST(WindowHook, HandlerMayDestroyTheWindowAndReenter) {
  HostWindow host;
  HWND window = host.hwnd();
  int nested = 0;
  ASSERT_TRUE(HookWindow(window, [&](UINT message, WPARAM, LPARAM, DefaultProc defaultProc) -> LRESULT {
    if (message == kProbe) {
      SendMessageW(window, kProbe + 1, 0, 0);  // re-enters the hook procedure
      DestroyWindow(window);
      return 1;
    }
    if (message == kProbe + 1) ++nested;
    if (message == WM_DESTROY) UnhookWindow(window);
    return defaultProc();
  }));
  EXPECT_EQ(SendMessageW(window, kProbe, 0, 0), 1);
  EXPECT_EQ(nested, 1);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(host.seen(WM_DESTROY), 1);
}

}  // namespace
