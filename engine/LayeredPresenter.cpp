#include "engine/LayeredPresenter.h"

#include "engine/EngineTimers.h"
#include "engine/RegisteredMessages.h"
#include "base/FatalCheck.h"
#include "base/SurfaceDc.h"

namespace {
constexpr UINT kLayeredPeriodMs = 1;

// The first per-pixel-alpha update may give the window a new native window (one with an alpha
// visual) that does not inherit the keyboard focus: the window would then miss the key that is
// to end the saver. Handing the focus to it again costs nothing where nothing was lost.
void KeepKeyboardFocus(HWND window) {
  if (GetFocus() != window) return;
  SetFocus(nullptr);
  SetFocus(window);
}
}  // namespace

LayeredPresenter::LayeredPresenter(HWND window, LightWeightMutex& frameLock, HANDLE frameReadyEvent,
                                   Microsoft::WRL::ComPtr<IDirect3DSurface9>& frameSurface,
                                   PlaybackStatistics& statistics)
    : window_(window),
      frameLock_(frameLock),
      frameReadyEvent_(frameReadyEvent),
      frameSurface_(frameSurface),
      statistics_(statistics) {}

LayeredPresenter::~LayeredPresenter() {
  if (ticking_) KillTimer(window_, kLayeredFrameTimerId);
}

bool LayeredPresenter::IsOwnTick(WPARAM timerId) { return timerId == kLayeredFrameTimerId; }

// The frame surface's contents over the live desktop, premultiplied, with per-pixel alpha.
bool LayeredPresenter::HandToWindow(HDC surfaceDc) {
  POINT sourceOrigin{0, 0};
  POINT origin = origin_;
  SIZE size = size_;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return UpdateLayeredWindow(window_, screenDc_->Get(), &origin, &size, surfaceDc, &sourceOrigin, 0, &blend,
                             ULW_ALPHA) != FALSE;
}

void LayeredPresenter::Start(IDirect3DDevice9* device, bool displayOn) {
  RECT client{};
  GetClientRect(window_, &client);
  size_ = {client.right - client.left, client.bottom - client.top};
  origin_ = {client.left, client.top};
  ClientToScreen(window_, &origin_);

  SetWindowLongPtrW(window_, GWL_EXSTYLE, GetWindowLongPtrW(window_, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetWindowPos(window_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

  frameSurface_.Reset();
  FatalUnless(SUCCEEDED(device->CreateOffscreenPlainSurface(static_cast<UINT>(size_.cx), static_cast<UINT>(size_.cy),
                                                            D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                            frameSurface_.GetAddressOf(), nullptr)),
              "creating the layered frame surface");
  screenDc_ = std::make_unique<ScreenDc>();
  FatalUnless(screenDc_->Get() != nullptr, "getting the screen's device context");
  {
    SurfaceDc surfaceDc(frameSurface_.Get());
    FatalUnless(surfaceDc.Get() != nullptr, "getting the frame surface's device context");
    if (!HandToWindow(surfaceDc.Get())) {
      PostMessageW(window_, EndMessage, 0, 0);
      return;
    }
  }
  KeepKeyboardFocus(window_);
  started_ = true;
  RunTimer(displayOn);
}

void LayeredPresenter::FollowDisplayPower(bool on) {
  if (started_) RunTimer(on);
}

void LayeredPresenter::RunTimer(bool run) {
  if (!run) {
    KillTimer(window_, kLayeredFrameTimerId);
    ticking_ = false;
  } else if (SetTimer(window_, kLayeredFrameTimerId, kLayeredPeriodMs, nullptr) != 0) {
    ticking_ = true;
  } else {
    PostMessageW(window_, EndMessage, 0, 0);  // without its ticks the window would never change again
  }
}

void LayeredPresenter::PresentNewest() {
  const DWORD state = WaitForSingleObject(frameReadyEvent_, 0);
  if (state == WAIT_TIMEOUT) return;  // nothing new to show
  if (state != WAIT_OBJECT_0) FatalLastError("testing the layered frame event");

  LockGuard guard(frameLock_);
  SurfaceDc surfaceDc(frameSurface_.Get());
  if (surfaceDc.Get() != nullptr && HandToWindow(surfaceDc.Get())) {
    ++statistics_.layeredUpdates;
    return;
  }
  PostMessageW(window_, EndMessage, 0, 0);
}
