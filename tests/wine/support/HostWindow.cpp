#include "HostWindow.h"

namespace {
const wchar_t kClassName[] = L"KagemiraTestHost";
}

HostWindow::HostWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &HostWindow::Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RegisterClassW(&windowClass);
  window_ = CreateWindowExW(0, kClassName, L"host", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
}

HostWindow::~HostWindow() {
  if (alive()) DestroyWindow(window_);
}

void HostWindow::Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (milliseconds > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr) {
    self->seen_[message]++;
    if (self->onMessage) self->onMessage(message, wParam, lParam);
    if (message == WM_TIMER) self->lastTimerId_ = wParam;
    if (message == WM_DESTROY && self->onDestroy) self->onDestroy();
    if (message == WM_NCDESTROY) self->window_ = nullptr;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
