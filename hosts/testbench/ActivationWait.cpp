#include "hosts/testbench/ActivationWait.h"

#include "hosts/testbench/TestHost.h"

namespace testhost {

ActivationWait::ActivationWait(HANDLE event) {
  if (event == nullptr) return;
  // No time-out and not WT_EXECUTEONLYONCE: every later start is answered.
  if (!RegisterWaitForSingleObject(&wait_, event, &BringToFront, nullptr, INFINITE, WT_EXECUTEDEFAULT)) {
    wait_ = nullptr;
  }
}

ActivationWait::~ActivationWait() {
  if (wait_ != nullptr) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
}

namespace {
bool Show(HWND window) {
  if (window == nullptr || !IsWindow(window)) return false;
  // A minimised preview would stay an icon in the foreground: the user asked to see it.
  if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
  SetForegroundWindow(window);
  return true;
}
}  // namespace

VOID CALLBACK BringToFront(PVOID, BOOLEAN) {
  // A handle of a window that has gone since fails the existence test.
  Show(previewWindow.load()) || Show(settingsDialog.load()) || Show(mainDialog.load());
}

}  // namespace testhost
