// From its first paint until the first frame is presented, the engine's window shows the desktop
// as it was captured, each pixel where it was: never the black of an empty window.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "FaultInjectingDevice.h"
#include "HostWindow.h"
#include "TestFrameFile.h"
#include "engine/UmbraneEngine.h"
#include "base/GdiHandles.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";

// A sharp one-pixel checker of two mid-tones (0x00RRGGBB): a blurred or shifted copy shows.
uint32_t PatternAt(int x, int y) { return (x + y) % 2 == 0 ? 0xC86432u : 0x3264C8u; }

// A piece of the desktop at the top left of the screen: a window whose background is the pattern.
class PatternWindow {
 public:
  PatternWindow(int width, int height) {
    // A 2 x 2 tile, top row first: the header and the pixels one after the other, as the brush takes them.
    struct {
      BITMAPINFOHEADER header;
      uint32_t pixels[4];
    } tile{{sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
           {PatternAt(0, 0), PatternAt(1, 0), PatternAt(0, 1), PatternAt(1, 1)}};
    brush_.reset(CreateDIBPatternBrushPt(&tile, DIB_RGB_COLORS));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(brush_.get());
    windowClass.lpszClassName = L"KagemiraPatternDesktop";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    UpdateWindow(window_);
  }
  ~PatternWindow() {
    DestroyWindow(window_);
    UnregisterClassW(L"KagemiraPatternDesktop", GetModuleHandleW(nullptr));
  }
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;

 private:
  std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDelete> brush_;
  HWND window_ = nullptr;
};

// Pixels of a 24 x 24 block of the screen at the top left that differ from the pattern.
int Mismatches() {
  const ScreenDc screen;
  int wrong = 0;
  for (int y = 8; y < 32; ++y) {
    for (int x = 8; x < 32; ++x) {
      const COLORREF shown = GetPixel(screen.Get(), x, y);
      wrong += RGB(PatternAt(x, y) >> 16, PatternAt(x, y) >> 8 & 0xFF, PatternAt(x, y) & 0xFF) != shown;
    }
  }
  return wrong;
}

TEST(FirstPicture, UntilTheFirstFrameIsPresentedTheWindowShowsTheCapturedDesktopPixelForPixel) {
  SettingsLocation settings;
  settings.WriteIni({});
  ASSERT_TRUE(WriteTestFrameFile(kDataFile, 64, 48, 30, [](uint32_t frame) { return static_cast<uint8_t>(frame); }));
  HostWindow host;
  ShowWindow(host.hwnd(), SW_HIDE);
  auto desktop = std::make_unique<PatternWindow>(320, 240);
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return Mismatches() == 0; }, 20000)) << "the desktop shows the pattern";

  // Captured now, and then gone from the live desktop: only the capture can show it. The
  // engine's window comes up, and its first frame is held back at the present until the test has
  // looked.
  auto engine = std::make_unique<UmbraneEngine>();
  host.onDestroy = [&] { engine.reset(); };
  ASSERT_TRUE(engine->Startup(host.hwnd(), false, PlaybackStart::Immediately));
  desktop.reset();
  FaultInjectingDevice wrapper(engine->device());
  engine->InterposeDevice(&wrapper);
  wrapper.CloseGate();
  SetWindowPos(host.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  UpdateWindow(host.hwnd());
  ASSERT_TRUE(HostWindow::PumpUntil([&] { return wrapper.presentsArrived >= 1; }, 20000));
  HostWindow::Pump(100);  // let the window manager show whatever the window painted last

  EXPECT_EQ(engine->statistics().framesPresented, 0u);
  EXPECT_EQ(Mismatches(), 0) << "the window shows the capture, not black and not blurred";
  wrapper.OpenGate();
  DestroyWindow(host.hwnd());
  DeleteFileW(kDataFile.c_str());
}

}  // namespace
