// Needs two monitors side by side: tools/harness --monitors 2 -- wine render_dual_wine_tests.exe
// Windows of known colours are shown on each monitor; the layout must find both monitors and
// capture what each of them shows.
#include <gtest/gtest.h>

#include <memory>

#include "base/GdiHandles.h"
#include "render/LayoutMonitors.h"
#include "render/PlaybackRenderer.h"
#include "render/QuadTexture.h"
#include "render/Views.h"
#include "tests/wine/render/RenderTestSupport.h"

namespace {
// The pixel of a capture at (x, y) counted from its top (the rows are stored bottom-up).
Colour CapturedAt(const MonitorRecord& m, int x, int y) {
  const size_t row = static_cast<size_t>(m.captureHeight - 1 - y);
  const uint8_t* p = &m.pixels[(row * m.captureWidth + x) * m.bytesPerPixel];
  return {p[2], p[1], p[0], 0};
}

bool Same(const Colour& a, const Colour& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    const int count = GetSystemMetrics(SM_CMONITORS);
    if (count != 2) GTEST_SKIP() << "needs two monitors, found " << count;
    desktop = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
               GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const int half = desktop.width / 2;
    // A red patch near the top of the first monitor and a green one low on the second.
    red = std::make_unique<TestWindow>(100, 100, 200, 150, RGB(255, 0, 0));
    green = std::make_unique<TestWindow>(half + 300, desktop.height - 300, 200, 150, RGB(0, 255, 0));
    // Under load the X server may take a while to show them: wait until the screen does.
    for (int waited = 0; waited < 10000 && !(ScreenShows(200, 175, RGB(255, 0, 0)) &&
                                             ScreenShows(half + 400, desktop.height - 225, RGB(0, 255, 0)));
         waited += 100) {
      PumpMessages(100);
    }
  }

  static bool ScreenShows(int x, int y, COLORREF colour) {
    const COLORREF shown = GetPixel(ScreenDc().Get(), x, y);
    return (shown & 0xFFFFFF) == colour;
  }

  PixelRect desktop;
  std::unique_ptr<TestWindow> red, green;
};

TEST_F(TwoMonitors, LayoutFindsBothAndCapturesWhatEachShows) {
  // The playback window covers the desktop; it stays hidden so that it does not hide the patches.
  TestWindow saver(desktop.x, desktop.y, desktop.width, desktop.height, RGB(0, 0, 0), false);
  const DisplayLayout layout = LayoutMonitors(saver.Handle(), false);
  ASSERT_EQ(layout.monitors.size(), 2u);
  const MonitorRecord& first = layout.monitors[0];
  const MonitorRecord& second = layout.monitors[1];
  const int half = desktop.width / 2;
  EXPECT_EQ(first.x, 0);
  EXPECT_EQ(first.width, half);
  EXPECT_EQ(second.x, half);
  EXPECT_EQ(second.y, 0);
  EXPECT_EQ(second.width, desktop.width - half);
  EXPECT_EQ(first.captureHeight, desktop.height);
  EXPECT_EQ(layout.clientRect.width, desktop.width);
  ASSERT_EQ(first.bytesPerPixel, 4);
  ASSERT_EQ(first.pixels.size(), static_cast<size_t>(first.captureWidth) * first.captureHeight * 4);

  EXPECT_TRUE(Same(CapturedAt(first, 200, 150), {255, 0, 0, 0})) << "red patch on the first monitor";
  EXPECT_FALSE(Same(CapturedAt(first, 200, desktop.height - 150), {255, 0, 0, 0})) << "upright, not flipped";
  EXPECT_TRUE(Same(CapturedAt(second, 400, desktop.height - 225), {0, 255, 0, 0})) << "green patch on the second";
  EXPECT_FALSE(Same(CapturedAt(second, 200, 150), {255, 0, 0, 0})) << "the second is not a copy of the first";
}

TEST_F(TwoMonitors, ViewsPerMonitorOrOneOverBoth) {
  TestWindow saver(desktop.x, desktop.y, desktop.width, desktop.height, RGB(0, 0, 0), false);
  const DisplayLayout layout = LayoutMonitors(saver.Handle(), false);
  ASSERT_EQ(layout.monitors.size(), 2u);
  const PixelSize target{desktop.width, desktop.height};
  for (int32_t mode = 0; mode <= 5; ++mode) {
    SCOPED_TRACE(mode);
    const auto views = BuildViews(layout.monitors, {480, 360}, mode, {nullptr}, RenderState::Opaque, target);
    if (mode < 4) {
      ASSERT_EQ(views.size(), 2u);
      EXPECT_EQ(views[1].geometry.area.x, layout.monitors[1].x);
      EXPECT_EQ(views[1].viewport.X, static_cast<DWORD>(layout.monitors[1].x));
      EXPECT_EQ(views[1].viewport.Width, static_cast<DWORD>(layout.monitors[1].width));
    } else {
      ASSERT_EQ(views.size(), 1u);
      EXPECT_EQ(views[0].geometry.area.width, desktop.width);
      EXPECT_EQ(views[0].viewport.Width, static_cast<DWORD>(desktop.width));
    }
  }
}

TEST_F(TwoMonitors, ThePreviewKeepsOnlyThePrimaryMonitorAtThePreviewSize) {
  TestWindow preview(50, 50, 200, 150, RGB(0, 0, 0), false);
  const DisplayLayout layout = LayoutMonitors(preview.Handle(), true);
  ASSERT_EQ(layout.monitors.size(), 1u);
  const MonitorRecord& m = layout.monitors[0];
  EXPECT_EQ(m.x, 0);
  EXPECT_EQ(m.y, 0);
  EXPECT_EQ(m.width, 200);
  EXPECT_EQ(m.height, 150);
  EXPECT_EQ(m.captureWidth, desktop.width / 2);
  EXPECT_TRUE(Same(CapturedAt(m, 200, 150), {255, 0, 0, 0}));
  const PixelSize scaled = PreviewScale({480, 360}, m.width);
  EXPECT_EQ(scaled.width, RoundHalfUp(480.0 * 200 / GetSystemMetrics(SM_CXSCREEN)));
}

TEST_F(TwoMonitors, TheDesktopCompositeShowsEachMonitorsCaptureInPlace) {
  TestWindow saver(desktop.x, desktop.y, desktop.width, desktop.height, RGB(0, 0, 0), false);
  const DisplayLayout layout = LayoutMonitors(saver.Handle(), false);
  ASSERT_EQ(layout.monitors.size(), 2u);
  ShowWindow(saver.Handle(), SW_SHOW);
  TestDevice d;
  ASSERT_TRUE(d.Create(saver.Handle()));
  RenderSettings transparent;
  transparent.foregroundAlpha = 0;
  transparent.backgroundAlpha = 0;
  transparent.magType = MagType::FitDesktop;
  PlaybackRenderer renderer(d.device.Get(), d.backBuffer.Get());
  ASSERT_TRUE(renderer.BuildStateBlocks());
  ASSERT_TRUE(renderer.BuildResources(transparent, layout, {64, 32}, nullptr));
  auto silhouette = QuadTexture::CreateBlank(d.device.Get(), 64, 32, 0, D3DFMT_A8R8G8B8);
  auto mask = QuadTexture::CreateBlank(d.device.Get(), 64, 32, 0, D3DFMT_A8R8G8B8);
  ASSERT_TRUE(silhouette && mask);
  renderer.DrawPackedScene(*silhouette, *mask);
  ASSERT_EQ(renderer.DrawViews(), S_OK);
  const ReadBack shot(d.device.Get(), d.backBuffer.Get());
  ASSERT_TRUE(shot.Ok());
  EXPECT_TRUE(Same(shot.At(200, 150), {255, 0, 0, 0}));
  EXPECT_TRUE(Same(shot.At(desktop.width / 2 + 400, desktop.height - 225), {0, 255, 0, 0}));
}
}  // namespace
