// One preview: the window (its class, its two sizes, and its procedure, which owns the window's
// engine) comes up, optionally after a confirmation, and plays until it is destroyed (Escape, its
// close command, the confirmation's Cancel, or the engine's end).
#include <windows.h>
#include <imm.h>

#include <string>

#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "hosts/vistrel/VistrelHost.h"
#include "resources/resource.h"

namespace vistrel {
namespace {
const wchar_t kPreviewClassName[] = L"WindowsScreenSaverClass";
constexpr DWORD kSmallPreviewStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const wchar_t kConfirmStart[] = L"プレビューを開始します。";
const wchar_t kWindowCreationFailed[] = L"ウィンドウの作成に失敗しました。";

const WNDCLASSEXW& PreviewClass(HINSTANCE instance, WNDPROC procedure) {
  static const WNDCLASSEXW description = [instance, procedure] {
    WNDCLASSEXW c{};
    c.cbSize = sizeof(c);
    c.style = CS_OWNDC;
    c.lpfnWndProc = procedure;
    c.hInstance = instance;
    c.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    c.lpszClassName = kPreviewClassName;
    return c;
  }();
  return description;
}

// A client area of half the primary screen, the window centred on it.
RECT SmallPreviewRect() {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  RECT outer{0, 0, screenWidth / 2, screenHeight / 2};
  AdjustWindowRectEx(&outer, kSmallPreviewStyle, FALSE, 0);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int x = (screenWidth - width) / 2;
  const int y = (screenHeight - height) / 2;
  return {x, y, x + width, y + height};
}

RECT VirtualScreenRect() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}
}  // namespace

void VistrelHost::RunPreview(bool small) {
  smallPreview_ = small;
  ShowCursor(FALSE);
  const HWND window = CreatePreviewWindow();
  previewWindow_ = window;
  if (window != nullptr) {
    PlayInWindow(window);
    ShowCursor(TRUE);
  } else {
    ShowCursor(TRUE);
    ReportFailedStart();
  }
  previewWindow_ = nullptr;
  hostErrorText_.clear();
}

HWND VistrelHost::CreatePreviewWindow() {
  // Registered on every call; a repeated registration fails harmlessly.
  RegisterClassExW(&PreviewClass(instance_, &PreviewWindowProc));
  const DWORD style = smallPreview_ ? kSmallPreviewStyle : WS_POPUP;
  const RECT rect = smallPreview_ ? SmallPreviewRect() : VirtualScreenRect();
  // Created hidden: the preview run shows it.
  return CreateWindowExW(0, kPreviewClassName, caption_.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top, nullptr, nullptr, instance_, this);
}

void VistrelHost::PlayInWindow(HWND window) {
  ImmAssociateContext(window, nullptr);
  ShowWindow(window, SW_SHOWDEFAULT);
  UpdateWindow(window);

  if (confirmBeforeStart_ && MessageBoxW(window, kConfirmStart, caption_.c_str(), MB_OKCANCEL) == IDCANCEL) {
    DestroyWindow(window);
    previewWindow_ = nullptr;
  }
  if (previewWindow_.load() != nullptr && IsWindow(window)) PostMessageW(window, StartMessage, 0, 0);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void VistrelHost::ReportFailedStart() {
  // Normally gone with the failed window's WM_DESTROY; never left behind hooked to a dead window.
  engine_.Release();
  // Also removes the quit message the failed window's destruction posted.
  PumpPendingMessages();
  std::wstring text = kWindowCreationFailed;
  if (!hostErrorText_.empty()) text += L"\n" + hostErrorText_;
  MessageBoxW(nullptr, text.c_str(), caption_.c_str(), MB_ICONERROR | MB_SETFOREGROUND);
}

LRESULT CALLBACK VistrelHost::PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* host = reinterpret_cast<VistrelHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return host ? host->PreviewWindowMessage(window, message, wParam, lParam)
              : DefWindowProcW(window, message, wParam, lParam);
}

// While the engine runs, its hook sees every message first and passes the rest on to here.
LRESULT VistrelHost::PreviewWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (!engine_.Start(window, smallPreview_, PlaybackStart::ByHost)) {
        // Empty when the window went away during the start-up, which took the engine with it.
        hostErrorText_ = engine_.get() ? engine_->errorText() : std::wstring();
        return -1;
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      engine_.Release();
      return 0;
    case WM_PAINT:
      // The engine draws; the window itself never paints.
      ValidateRect(window, nullptr);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) DestroyWindow(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace vistrel
