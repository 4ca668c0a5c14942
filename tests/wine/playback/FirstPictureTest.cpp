// From its first paint until the first frame is presented, the engine's window shows the desktop
// as it was captured, each pixel where it was: never the black of an empty window.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FaultInjectingDevice.h"
#include "HostWindow.h"
#include "TestFrameFile.h"
#include "engine/UmbraneEngine.h"
#include "render/GdiHandles.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";

// A 32-bit picture with its top row first.
BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// A sharp one-pixel checker of two mid-tones (0x00RRGGBB): a blurred or shifted copy shows.
uint32_t PatternAt(int x, int y) { return (x + y) % 2 == 0 ? 0xC86432u : 0x3264C8u; }

// A piece of the desktop: a window showing the pattern at the top left of the screen.
class PatternWindow {
 public:
  PatternWindow(int width, int height) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KagemiraPatternDesktop";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    UpdateWindow(window_);
  }
  ~PatternWindow() { DestroyWindow(window_); }
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    std::vector<uint32_t> pixels(static_cast<size_t>(client.right) * client.bottom);
    for (int y = 0; y < client.bottom; ++y) {
      for (int x = 0; x < client.right; ++x) pixels[static_cast<size_t>(y) * client.right + x] = PatternAt(x, y);
    }
    const BITMAPINFO info = TopDownInfo(client.right, client.bottom);
    SetDIBitsToDevice(dc, 0, 0, client.right, client.bottom, 0, 0, 0, client.bottom, pixels.data(), &info,
                      DIB_RGB_COLORS);
    EndPaint(window, &paint);
    return 0;
  }

  HWND window_ = nullptr;
};

// What the screen shows in the rectangle, 0x00RRGGBB, top row first.
std::vector<uint32_t> ScreenPixels(const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  const BITMAPINFO info = TopDownInfo(width, height);
  void* bits = nullptr;
  const ScreenDc screen;
  const GdiBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const MemoryDc memory(CreateCompatibleDC(screen.Get()));
  {
    const SelectedObject selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
  }
  GdiFlush();
  std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width * height);
  for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

// Pixels of the area that differ from the pattern.
int Mismatches(const RECT& area) {
  const std::vector<uint32_t> shown = ScreenPixels(area);
  const int width = area.right - area.left;
  int wrong = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    wrong += shown[i] != PatternAt(area.left + static_cast<int>(i % width), area.top + static_cast<int>(i / width));
  }
  return wrong;
}

TEST(FirstPicture, UntilTheFirstFrameIsPresentedTheWindowShowsTheCapturedDesktopPixelForPixel) {
  SettingsLocation settings;
  settings.WriteIni({});
  ASSERT_TRUE(WriteTestFrameFile(kDataFile, 64, 48, 30, [](uint32_t frame) { return static_cast<uint8_t>(frame); }));
  HostWindow host;
  ShowWindow(host.hwnd(), SW_HIDE);
  const RECT area{0, 0, 320, 240};
  auto desktop = std::make_unique<PatternWindow>(area.right, area.bottom);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return Mismatches(area) == 0; }, 20000)) << "the desktop shows the pattern";

  // Captured now, and then gone from the live desktop: only the capture can show it. The
  // engine's window comes up, and its first frame is held back at the present until the test has
  // looked.
  auto engine = std::make_unique<UmbraneEngine>();
  host.onDestroy = [&] { engine.reset(); };
  ASSERT_TRUE(engine->Startup(host.hwnd(), false));
  desktop.reset();
  FaultInjectingDevice wrapper(engine->device.Get());
  engine->device = &wrapper;
  wrapper.CloseGate();
  SetWindowPos(host.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  UpdateWindow(host.hwnd());
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return wrapper.presentsArrived >= 1; }, 20000));
  HostWindow::Pump(100);  // let the window manager show whatever the window painted last

  EXPECT_EQ(engine->framesPresented, 0u);
  EXPECT_EQ(Mismatches(area), 0) << "the window shows the capture, not black and not blurred";
  wrapper.OpenGate();
  DestroyWindow(host.hwnd());
  DeleteFileW(kDataFile.c_str());
}

}  // namespace
