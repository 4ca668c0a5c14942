// The window thread's side of the layered-window mode: the window becomes a per-pixel-alpha
// layered window, and every tick of a 1 ms timer hands the newest frame the layered loop has read
// back (if there is one) to the window manager.
#include "base/FatalCheck.h"
#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "base/SurfaceDc.h"

namespace {
constexpr UINT_PTR kLayeredTimerId = 1;
constexpr UINT kLayeredPeriodMs = 1;

// The frame surface's contents over the live desktop, premultiplied, with per-pixel alpha.
bool HandToWindow(const UmbraneEngine& engine, HDC surfaceDc) {
  POINT sourceOrigin{0, 0};
  POINT origin = engine.layeredOrigin;
  SIZE size = engine.layeredSize;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return UpdateLayeredWindow(engine.hwnd, engine.layeredScreenDc->Get(), &origin, &size, surfaceDc, &sourceOrigin, 0,
                             &blend, ULW_ALPHA) != FALSE;
}

// The first per-pixel-alpha update may give the window a new native window (one with an alpha
// visual) that does not inherit the keyboard focus: the window would then miss the key that is
// to end the saver. Handing the focus to it again costs nothing where nothing was lost.
void KeepKeyboardFocus(HWND window) {
  if (GetFocus() != window) return;
  SetFocus(nullptr);
  SetFocus(window);
}
}  // namespace

void UmbraneEngine::StartLayered() {
  RECT client{};
  GetClientRect(hwnd, &client);
  layeredSize = {client.right - client.left, client.bottom - client.top};
  layeredOrigin = {client.left, client.top};
  ClientToScreen(hwnd, &layeredOrigin);

  SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

  frameSurface.Reset();
  FatalUnless(SUCCEEDED(device->CreateOffscreenPlainSurface(static_cast<UINT>(layeredSize.cx),
                                                            static_cast<UINT>(layeredSize.cy), D3DFMT_A8R8G8B8,
                                                            D3DPOOL_SYSTEMMEM, frameSurface.GetAddressOf(), nullptr)),
              "creating the layered frame surface");
  layeredScreenDc = std::make_unique<ScreenDc>();
  FatalUnless(layeredScreenDc->Get() != nullptr, "getting the screen's device context");
  {
    SurfaceDc surfaceDc(frameSurface.Get());
    FatalUnless(surfaceDc.Get() != nullptr, "getting the frame surface's device context");
    if (!HandToWindow(*this, surfaceDc.Get())) {
      PostMessageW(hwnd, EndMessage, 0, 0);
      return;
    }
  }
  KeepKeyboardFocus(hwnd);
  layeredTimerId = kLayeredTimerId;
  RunLayeredTimer(displayOn);
}

void UmbraneEngine::RunLayeredTimer(bool run) {
  // Nothing new comes while the displays are off: no ticks either.
  if (!run) {
    KillTimer(hwnd, layeredTimerId);
  } else if (SetTimer(hwnd, layeredTimerId, kLayeredPeriodMs, nullptr) == 0) {
    PostMessageW(hwnd, EndMessage, 0, 0);  // without its ticks the window would never change again
  }
}

void UmbraneEngine::PresentLayered() {
  const DWORD state = WaitForSingleObject(frameReadyEvent.get(), 0);
  if (state == WAIT_TIMEOUT) return;  // nothing new to show
  if (state != WAIT_OBJECT_0) FatalLastError("testing the layered frame event");

  LockGuard guard(frameLock);
  SurfaceDc surfaceDc(frameSurface.Get());
  if (surfaceDc.Get() != nullptr && HandToWindow(*this, surfaceDc.Get())) {
    ++statistics.layeredUpdates;
    return;
  }
  PostMessageW(hwnd, EndMessage, 0, 0);
}
