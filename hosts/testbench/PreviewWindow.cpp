// The preview window: its class, its two sizes, and its procedure, which owns the window's engine.
#include <memory>

#include "engine/UmbraneEngine.h"
#include "hosts/testbench/TestHost.h"
#include "resources/resource.h"

namespace testhost {
namespace {
const wchar_t kPreviewClassName[] = L"WindowsScreenSaverClass";
constexpr DWORD kSmallPreviewStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

const WNDCLASSEXW& PreviewClass() {
  static const WNDCLASSEXW description = [] {
    WNDCLASSEXW c{};
    c.cbSize = sizeof(c);
    c.style = CS_OWNDC;
    c.lpfnWndProc = &PreviewWindowProc;
    c.hInstance = moduleInstance;
    c.hIcon = LoadIconW(moduleInstance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
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

HWND CreatePreviewWindow() {
  // Registered on every call; a repeated registration fails harmlessly.
  RegisterClassExW(&PreviewClass());
  const DWORD style = smallPreview ? kSmallPreviewStyle : WS_POPUP;
  const RECT rect = smallPreview ? SmallPreviewRect() : VirtualScreenRect();
  // Created hidden: the preview run shows it.
  return CreateWindowExW(0, kPreviewClassName, caption, style, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top, nullptr, nullptr, moduleInstance, nullptr);
}

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (!engine.Start(window, smallPreview)) {
        // Empty when the window went away during the start-up, which took the engine with it.
        hostErrorText = engine.get() ? engine->errorText : std::wstring();
        return -1;
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      engine.Release();
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

}  // namespace testhost
