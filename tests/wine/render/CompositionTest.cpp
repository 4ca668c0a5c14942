// Frames composed on a real device and read back from the back buffer before presenting. The
// expected colours follow from the blend rules: the scene (white screen at its opacity, the
// black shadow at its opacity) laid over the background with source-alpha blending.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

#include "render/PlaybackRenderer.h"
#include "render/QuadTexture.h"
#include "FaultInjectingDevice.h"
#include "tests/wine/render/RenderTestSupport.h"

namespace {
constexpr int kSilhouetteWidth = 32, kSilhouetteHeight = 16;
const Colour kBackgroundA{40, 120, 200, 0};
const Colour kBackgroundB{200, 80, 20, 0};

int AlphaByte(int percent) { return percent * 255 / 100; }

// top over under with the top's alpha.
Colour Over(int topGrey, int alpha, const Colour& under) {
  const auto mix = [&](int u) { return static_cast<int>(std::lround((topGrey * alpha + u * (255 - alpha)) / 255.0)); };
  return {mix(under.r), mix(under.g), mix(under.b), 0};
}

::testing::AssertionResult Near(const Colour& actual, const Colour& expected, int tolerance = 2) {
  if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
      std::abs(actual.b - expected.b) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "got (" << actual.r << ", " << actual.g << ", " << actual.b << ") expected ("
                                       << expected.r << ", " << expected.g << ", " << expected.b << ")";
}

bool InShadow(int x, int y) { return x < kSilhouetteWidth / 2 && y < kSilhouetteHeight / 2; }

class RendererOnDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(d.Create(window.Handle()));
    layout.clientRect = {0, 0, 256, 128};
  }

  // Silhouette top row first, black with the shadow's opacity in the top-left quadrant; mask
  // bytes stored bottom row first, as the producer hands them over.
  void MakeFrame(int foregroundPercent) {
    silhouette = QuadTexture::CreateBlank(d.device.Get(), kSilhouetteWidth, kSilhouetteHeight, 0, D3DFMT_A8R8G8B8);
    mask = QuadTexture::CreateBlank(d.device.Get(), kSilhouetteWidth, kSilhouetteHeight, 0, D3DFMT_A8R8G8B8);
    ASSERT_TRUE(silhouette && mask);
    std::vector<uint32_t> texels(kSilhouetteWidth * kSilhouetteHeight);
    std::vector<uint8_t> maskBytes(texels.size());
    for (int y = 0; y < kSilhouetteHeight; ++y) {
      for (int x = 0; x < kSilhouetteWidth; ++x) {
        texels[y * kSilhouetteWidth + x] = InShadow(x, y) ? uint32_t(AlphaByte(foregroundPercent)) << 24 : 0;
        maskBytes[(kSilhouetteHeight - 1 - y) * kSilhouetteWidth + x] = InShadow(x, y) ? 255 : 0;
      }
    }
    ASSERT_EQ(silhouette->FillTexels(texels.data()), S_OK);
    ASSERT_EQ(mask->FillAlpha(maskBytes.data(), maskBytes.size(), 0x000000, true), S_OK);
  }

  std::unique_ptr<PlaybackRenderer> Build(const RenderSettings& settings) {
    auto renderer = std::make_unique<PlaybackRenderer>(d.device.Get(), d.backBuffer.Get());
    if (!renderer->BuildStateBlocks()) return nullptr;
    if (!renderer->BuildResources(settings, layout, {kSilhouetteWidth, kSilhouetteHeight}, nullptr)) return nullptr;
    return renderer;
  }

  TestWindow window{0, 0, 256, 128};
  TestDevice d;
  DisplayLayout layout;
  std::unique_ptr<QuadTexture> silhouette, mask;
};

using Opacities = std::tuple<int, int>;  // shadow, screen
class Composition : public RendererOnDevice, public ::testing::WithParamInterface<std::tuple<Opacities, bool, bool>> {};

TEST_P(Composition, EveryRegionOfBothViewsBlendsAsTheRulesSay) {
  const auto [opacities, frameEnabled, confine] = GetParam();
  const auto [shadowPercent, screenPercent] = opacities;
  layout.monitors = {SolidMonitor({0, 0, 128, 128}, kBackgroundA), SolidMonitor({128, 0, 128, 128}, kBackgroundB)};
  RenderSettings settings;
  settings.foregroundAlpha = static_cast<uint8_t>(shadowPercent);
  settings.backgroundAlpha = static_cast<uint8_t>(screenPercent);
  settings.frameEnabled = frameEnabled;
  settings.confineBgFilterToShadowGraph = confine;
  settings.magType = MagType::FitMonitor;  // 128 x 64 in each 128 x 128 view: bars above and below
  MakeFrame(shadowPercent);
  auto renderer = Build(settings);
  ASSERT_TRUE(renderer);
  ASSERT_EQ(renderer->views().size(), 2u);

  renderer->DrawPackedScene(*silhouette, *mask);
  ASSERT_EQ(renderer->DrawViews(), S_OK);
  const ReadBack shot(d.device.Get(), d.backBuffer.Get());
  ASSERT_TRUE(shot.Ok());
  EXPECT_EQ(renderer->Present(), S_OK);

  const int shadow = AlphaByte(shadowPercent), screen = AlphaByte(screenPercent);
  for (const auto& [origin, background] : {std::pair{0, kBackgroundA}, std::pair{128, kBackgroundB}}) {
    SCOPED_TRACE(origin);
    EXPECT_TRUE(Near(shot.At(origin + 16, 40), Over(0, shadow, background))) << "inside the shadow";
    EXPECT_TRUE(Near(shot.At(origin + 112, 40), Over(255, screen, background))) << "screen, top right";
    EXPECT_TRUE(Near(shot.At(origin + 16, 80), Over(255, screen, background))) << "screen under the shadow";
    Colour bar = background;
    if (frameEnabled) {
      bar = Over(0, shadow, background);
    } else if (!confine) {
      bar = Over(255, screen, background);
    }
    EXPECT_TRUE(Near(shot.At(origin + 64, 10), bar)) << "top bar";
    EXPECT_TRUE(Near(shot.At(origin + 64, 120), bar)) << "bottom bar";
  }
}

INSTANTIATE_TEST_SUITE_P(OpacitiesAndBars, Composition,
                         ::testing::Combine(::testing::Values(Opacities{100, 100}, Opacities{100, 0},
                                                              Opacities{50, 50}),
                                            ::testing::Bool(), ::testing::Bool()));

// A capture quartered red / green / blue / white (top left, top right, bottom left, bottom
// right), stored bottom row first in the given pixel size.
MonitorRecord QuarteredCapture(int bytesPerPixel) {
  MonitorRecord m = SolidMonitor({0, 0, 128, 128}, {0, 0, 0, 0});
  m.bytesPerPixel = bytesPerPixel;
  m.redMask = 0xF800;
  m.greenMask = 0x07E0;
  m.blueMask = 0x001F;
  m.pixels.assign(static_cast<size_t>(128) * 128 * bytesPerPixel, 0);
  for (int row = 0; row < 128; ++row) {
    const int y = 127 - row;
    for (int x = 0; x < 128; ++x) {
      const bool top = y < 64, left = x < 64;
      const int r = (top && left) || (!top && !left) ? 255 : 0;
      const int g = (top && !left) || (!top && !left) ? 255 : 0;
      const int b = !top ? 255 : 0;
      uint8_t* p = &m.pixels[(static_cast<size_t>(row) * 128 + x) * bytesPerPixel];
      if (bytesPerPixel == 2) {
        const uint16_t v = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
      } else {
        p[0] = static_cast<uint8_t>(b);
        p[1] = static_cast<uint8_t>(g);
        p[2] = static_cast<uint8_t>(r);
      }
    }
  }
  return m;
}

class CaptureOrientation : public RendererOnDevice, public ::testing::WithParamInterface<int> {};

TEST_P(CaptureOrientation, ABottomUpCaptureShowsUprightAndUnmirrored) {
  layout.monitors = {QuarteredCapture(GetParam()), SolidMonitor({128, 0, 128, 128}, kBackgroundB)};
  RenderSettings transparent;
  transparent.foregroundAlpha = 0;
  transparent.backgroundAlpha = 0;
  transparent.confineBgFilterToShadowGraph = true;
  transparent.magType = MagType::FitMonitor;
  MakeFrame(0);
  auto renderer = Build(transparent);
  ASSERT_TRUE(renderer);
  renderer->DrawPackedScene(*silhouette, *mask);
  ASSERT_EQ(renderer->DrawViews(), S_OK);
  const ReadBack shot(d.device.Get(), d.backBuffer.Get());
  ASSERT_TRUE(shot.Ok());
  EXPECT_TRUE(Near(shot.At(32, 32), {255, 0, 0, 0}, 0)) << "top left";
  EXPECT_TRUE(Near(shot.At(96, 32), {0, 255, 0, 0}, 0)) << "top right";
  EXPECT_TRUE(Near(shot.At(32, 96), {0, 0, 255, 0}, 0)) << "bottom left";
  EXPECT_TRUE(Near(shot.At(96, 96), {255, 255, 255, 0}, 0)) << "bottom right";
  EXPECT_TRUE(Near(shot.At(0, 0), {255, 0, 0, 0}, 0)) << "the very corner";
  EXPECT_TRUE(Near(shot.At(127, 127), {255, 255, 255, 0}, 0)) << "the far corner";
  // Pixel for pixel: the quarters meet exactly where they met on the screen.
  EXPECT_TRUE(Near(shot.At(63, 63), {255, 0, 0, 0}, 0)) << "the last pixel of the top left quarter";
  EXPECT_TRUE(Near(shot.At(64, 63), {0, 255, 0, 0}, 0)) << "the first of the top right";
  EXPECT_TRUE(Near(shot.At(63, 64), {0, 0, 255, 0}, 0)) << "the first of the bottom left";
  EXPECT_TRUE(Near(shot.At(64, 64), {255, 255, 255, 0}, 0)) << "the first of the bottom right";
  EXPECT_TRUE(Near(shot.At(200, 64), kBackgroundB, 0)) << "the other monitor";
}

INSTANTIATE_TEST_SUITE_P(PixelSizes, CaptureOrientation, ::testing::Values(4, 3, 2));

TEST_F(RendererOnDevice, AnUnknownSixteenBitLayoutFailsTheCaptureAndTheSetUp) {
  MonitorRecord odd = QuarteredCapture(2);
  odd.redMask = 0x0F00;
  odd.greenMask = 0x00F0;
  odd.blueMask = 0x000F;
  EXPECT_EQ(QuadTexture::CreateFromCapture(d.device.Get(), odd), nullptr);
  layout.monitors = {odd};
  EXPECT_EQ(Build(RenderSettings{}), nullptr);
}

TEST_F(RendererOnDevice, DesktopModesDrawOneCompositeOfAllCaptures) {
  layout.monitors = {SolidMonitor({0, 0, 128, 128}, kBackgroundA), SolidMonitor({128, 0, 128, 128}, kBackgroundB)};
  RenderSettings transparent;
  transparent.foregroundAlpha = 0;
  transparent.backgroundAlpha = 0;
  transparent.magType = MagType::FillDesktop;
  MakeFrame(0);
  auto renderer = Build(transparent);
  ASSERT_TRUE(renderer);
  ASSERT_EQ(renderer->views().size(), 1u);
  const ViewGeometry& g = renderer->views()[0].geometry;
  EXPECT_EQ(g.picture.width, 256);  // 32 x 16 filling 256 x 128
  EXPECT_EQ(g.picture.height, 128);
  renderer->DrawPackedScene(*silhouette, *mask);
  ASSERT_EQ(renderer->DrawViews(), S_OK);
  const ReadBack shot(d.device.Get(), d.backBuffer.Get());
  ASSERT_TRUE(shot.Ok());
  EXPECT_TRUE(Near(shot.At(64, 64), kBackgroundA, 0));
  EXPECT_TRUE(Near(shot.At(192, 64), kBackgroundB, 0));
}

// A desktop wider than the largest texture the adapter takes: the composite is made within it and
// magnified, and each monitor's capture still shows in its place.
TEST_F(RendererOnDevice, ADesktopWiderThanTheLargestTextureIsMagnifiedFromOneThatFits) {
  layout.monitors = {SolidMonitor({0, 0, 128, 128}, kBackgroundA), SolidMonitor({128, 0, 128, 128}, kBackgroundB)};
  FaultInjectingDevice limited(d.device.Get());
  limited.largestTexture = 128;
  RenderSettings transparent;
  transparent.foregroundAlpha = 0;
  transparent.backgroundAlpha = 0;
  transparent.magType = MagType::FitDesktop;
  MakeFrame(0);
  PlaybackRenderer renderer(&limited, d.backBuffer.Get());
  ASSERT_TRUE(renderer.BuildStateBlocks());
  ASSERT_TRUE(renderer.BuildResources(transparent, layout, {kSilhouetteWidth, kSilhouetteHeight}, nullptr));
  EXPECT_EQ(limited.refusedTextures, 0);
  renderer.DrawPackedScene(*silhouette, *mask);
  ASSERT_EQ(renderer.DrawViews(), S_OK);
  const ReadBack shot(d.device.Get(), d.backBuffer.Get());
  ASSERT_TRUE(shot.Ok());
  for (const int y : {8, 64, 120}) {
    EXPECT_TRUE(Near(shot.At(8, y), kBackgroundA, 0));
    EXPECT_TRUE(Near(shot.At(120, y), kBackgroundA, 0));
    EXPECT_TRUE(Near(shot.At(136, y), kBackgroundB, 0));
    EXPECT_TRUE(Near(shot.At(248, y), kBackgroundB, 0));
  }
}

TEST_F(RendererOnDevice, FillAlphaRefusesAWrongByteCount) {
  MakeFrame(100);
  std::vector<uint8_t> bytes(kSilhouetteWidth * kSilhouetteHeight - 1);
  EXPECT_EQ(mask->FillAlpha(bytes.data(), bytes.size(), 0, false), E_UNEXPECTED);
}

TEST_F(RendererOnDevice, TexturesArePowersOfTwoWithThePictureTopLeft) {
  auto texture = QuadTexture::CreateBlank(d.device.Get(), 300, 17, 0, D3DFMT_A8R8G8B8);
  ASSERT_TRUE(texture);
  EXPECT_EQ(texture->LevelDescription().Width, 512u);
  EXPECT_EQ(texture->LevelDescription().Height, 32u);
  EXPECT_EQ(texture->contentWidth(), 300u);
  EXPECT_FALSE(texture->flipped());
}
}  // namespace

namespace {
TEST_F(RendererOnDevice, ALostDeviceWhenPresentingIsHandedToTheCaller) {
  layout.monitors = {SolidMonitor({0, 0, 256, 128}, kBackgroundA)};
  FaultInjectingDevice faulty(d.device.Get());
  PlaybackRenderer renderer(&faulty, d.backBuffer.Get());
  ASSERT_TRUE(renderer.BuildStateBlocks());
  ASSERT_TRUE(renderer.BuildResources(RenderSettings{}, layout, {kSilhouetteWidth, kSilhouetteHeight}, nullptr));
  MakeFrame(100);
  renderer.DrawPackedScene(*silhouette, *mask);
  ASSERT_EQ(renderer.DrawViews(), S_OK);
  EXPECT_EQ(renderer.Present(), S_OK);
  faulty.LoseDevice(0, false);
  EXPECT_EQ(renderer.Present(), D3DERR_DEVICELOST);
}
}  // namespace
