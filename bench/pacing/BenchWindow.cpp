#include "bench/pacing/BenchWindow.h"

HWND CreateBenchWindow(const wchar_t* className, int x, int y, int width, int height) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = className;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RegisterClassW(&windowClass);
  return CreateWindowExW(WS_EX_TOPMOST, className, L"bench", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                         nullptr, windowClass.hInstance, nullptr);
}
