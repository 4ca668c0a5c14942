// The layered output composed on a real device and read back from the frame surface it hands to
// the window: premultiplied colour, and in alpha how much of the desktop each pixel covers. The
// expected values stack the layers with the "over" rule: the veil (black at the screen opacity),
// the bars, the scene.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>

#include "render/LayeredRenderer.h"
#include "render/PlaybackRenderer.h"
#include "tests/wine/render/RenderTestSupport.h"

namespace {
constexpr int kSilhouetteWidth = 32, kSilhouetteHeight = 16;
constexpr int kTargetWidth = 256, kTargetHeight = 128;

int AlphaByte(int percent) { return percent * 255 / 100; }

// One layer, premultiplied, in bytes.
struct Layer {
  int colour;
  int alpha;
};
const Layer kNothing{0, 0};

Layer Stack(const Layer& top, const Layer& under) {
  return {top.colour + under.colour * (255 - top.alpha) / 255, top.alpha + under.alpha * (255 - top.alpha) / 255};
}

::testing::AssertionResult Holds(const Colour& texel, const Layer& expected) {
  for (const int channel : {texel.r, texel.g, texel.b}) {
    if (std::abs(channel - expected.colour) > 2) {
      return ::testing::AssertionFailure() << "colour " << channel << " expected " << expected.colour;
    }
  }
  if (std::abs(texel.a - expected.alpha) > 2) {
    return ::testing::AssertionFailure() << "alpha " << texel.a << " expected " << expected.alpha;
  }
  return ::testing::AssertionSuccess();
}

class LayeredOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(d.Create(window.Handle()));
    layout.clientRect = {0, 0, kTargetWidth, kTargetHeight};
    // The layered mode captures nothing: the records carry no pixels.
    for (const PixelRect& r : {PixelRect{0, 0, 128, 128}, PixelRect{128, 0, 128, 128}}) {
      MonitorRecord m;
      m.x = r.x;
      m.width = m.captureWidth = r.width;
      m.height = m.captureHeight = r.height;
      layout.monitors.push_back(m);
    }
    ASSERT_EQ(d.device->CreateOffscreenPlainSurface(kTargetWidth, kTargetHeight, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                    frameSurface.GetAddressOf(), nullptr),
              S_OK);
  }

  // Shadow in the top-left quadrant of the silhouette, screen elsewhere; the picture fits each
  // 128 x 128 view as 128 x 64 with bars above and below.
  std::unique_ptr<ReadBack> Compose(const RenderSettings& settings) {
    LayeredRenderer renderer(d.device.Get());
    if (!renderer.BuildResources(settings, layout, {kSilhouetteWidth, kSilhouetteHeight},
                                 {kTargetWidth, kTargetHeight})) {
      return nullptr;
    }
    SilhouetteTextures frame =
        MakeSilhouette(d.device.Get(), kSilhouetteWidth, kSilhouetteHeight, settings.foregroundAlpha,
                       [](int x, int y) { return x < kSilhouetteWidth / 2 && y < kSilhouetteHeight / 2 ? 0 : 255; });
    if (!frame.Ok()) return nullptr;
    renderer.DrawPackedScene(*frame.silhouette, *frame.mask);
    if (renderer.DrawLayers() != S_OK || renderer.CopyTo(frameSurface.Get()) != S_OK) return nullptr;
    auto handed = std::make_unique<ReadBack>(frameSurface.Get());
    return handed->Ok() ? std::move(handed) : nullptr;
  }

  TestWindow window{0, 0, kTargetWidth, kTargetHeight};
  TestDevice d;
  DisplayLayout layout;
  Microsoft::WRL::ComPtr<IDirect3DSurface9> frameSurface;
};

using Opacities = std::tuple<int, int>;  // shadow, screen
class LayeredComposition : public LayeredOutput,
                           public ::testing::WithParamInterface<std::tuple<Opacities, bool, bool>> {};

TEST_P(LayeredComposition, EveryRegionOfBothViewsStacksVeilBarsAndScene) {
  const auto [opacities, frameEnabled, confine] = GetParam();
  const auto [shadowPercent, screenPercent] = opacities;
  RenderSettings settings;
  settings.foregroundAlpha = static_cast<uint8_t>(shadowPercent);
  settings.backgroundAlpha = static_cast<uint8_t>(screenPercent);
  settings.frameEnabled = frameEnabled;
  settings.confineBgFilterToShadowGraph = confine;
  settings.magType = MagType::FitMonitor;
  const auto handed = Compose(settings);
  ASSERT_TRUE(handed);

  const int shadow = AlphaByte(shadowPercent), screen = AlphaByte(screenPercent);
  const Layer veil{0, screen};
  const bool veilOnlyUnderThePicture = confine && !frameEnabled;
  Layer bar = kNothing;
  if (frameEnabled) {
    bar = {0, shadow};
  } else if (!confine) {
    bar = {screen, screen};
  }
  const Layer underBars = veilOnlyUnderThePicture ? kNothing : veil;
  for (const int origin : {0, 128}) {
    SCOPED_TRACE(origin);
    EXPECT_TRUE(Holds(handed->At(origin + 16, 40), Stack({0, shadow}, veil))) << "inside the shadow";
    EXPECT_TRUE(Holds(handed->At(origin + 112, 40), Stack({screen, screen}, veil))) << "screen, top right";
    EXPECT_TRUE(Holds(handed->At(origin + 16, 80), Stack({screen, screen}, veil))) << "screen under the shadow";
    EXPECT_TRUE(Holds(handed->At(origin + 64, 10), Stack(bar, underBars))) << "top bar";
    EXPECT_TRUE(Holds(handed->At(origin + 64, 120), Stack(bar, underBars))) << "bottom bar";
  }
}

INSTANTIATE_TEST_SUITE_P(OpacitiesAndBars, LayeredComposition,
                         ::testing::Combine(::testing::Values(Opacities{100, 100}, Opacities{100, 0},
                                                              Opacities{50, 50}),
                                            ::testing::Bool(), ::testing::Bool()));

// Windows gives input over a pixel of alpha 0 to the window beneath: with the default screen
// opacity 0, whatever the bars and the confinement, no pixel of the frame may be one.
TEST_F(LayeredOutput, NoPixelOfTheFrameLetsInputThrough) {
  for (const bool frameEnabled : {false, true}) {
    for (const bool confine : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "bars " << frameEnabled << ", confined " << confine);
      RenderSettings settings;
      settings.foregroundAlpha = 50;
      settings.backgroundAlpha = 0;
      settings.frameEnabled = frameEnabled;
      settings.confineBgFilterToShadowGraph = confine;
      settings.magType = MagType::FitMonitor;
      const auto handed = Compose(settings);
      ASSERT_TRUE(handed);
      int leastAlpha = 255;
      for (int y = 0; y < handed->Height(); ++y) {
        for (int x = 0; x < handed->Width(); ++x) leastAlpha = std::min(leastAlpha, handed->At(x, y).a);
      }
      EXPECT_EQ(leastAlpha, 1) << "invisible, but the window's own";
    }
  }
}

// The preview pane shows the picture at the size it would have on the real screen, in both outputs
// alike: scaled by the preview's share of the screen once, in every mode.
TEST_F(LayeredOutput, ThePreviewScalesThePictureOnceAsTheDirectOutputDoes) {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  ASSERT_GT(screenWidth, 0);
  layout.monitors.resize(1);
  layout.monitors[0].width = screenWidth / 4;  // the preview window
  layout.monitors[0].height = kTargetHeight;
  layout.monitors[0].bytesPerPixel = 4;
  for (const int magType : {MagType::ActualSize, MagType::FitMonitor}) {
    SCOPED_TRACE(magType);
    RenderSettings settings;
    settings.magType = magType;
    settings.preview = true;
    LayeredRenderer layered(d.device.Get());
    ASSERT_TRUE(layered.BuildResources(settings, layout, {128, 64}, {kTargetWidth, kTargetHeight}));
    MonitorRecord captured = SolidMonitor({0, 0, screenWidth / 4, kTargetHeight}, {0, 0, 0, 0});
    DisplayLayout directLayout = layout;
    directLayout.monitors = {captured};
    PlaybackRenderer direct(d.device.Get(), d.backBuffer.Get());
    ASSERT_TRUE(direct.BuildStateBlocks());
    ASSERT_TRUE(direct.BuildResources(settings, directLayout, {128, 64}, nullptr));
    const PixelSize a = layered.views()[0].geometry.picture, b = direct.views()[0].geometry.picture;
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    if (magType == MagType::ActualSize) {
      EXPECT_EQ(a.width, 32);
      EXPECT_EQ(a.height, 16);
    }
  }
}
}  // namespace
