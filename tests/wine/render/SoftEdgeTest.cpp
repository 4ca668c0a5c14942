// Soft edges: a frame whose grey rises in steps from black to white, composed on the real device
// in both outputs and read back. Every step must lie on the straight line between the shadow and
// the screen: the scene is a premultiplied layer, colour white x screen x (1 - darkness), alpha
// screen x (1 - darkness) + shadow x darkness, laid as colour + beneath x (1 - alpha).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <tuple>

#include "FaultInjectingDevice.h"
#include "render/LayeredRenderer.h"
#include "render/PlaybackRenderer.h"
#include "render/ShadowEffect.h"
#include "tests/wine/render/RenderTestSupport.h"

namespace {
constexpr int kSteps = 16, kStepWidth = 8;
constexpr int kFrameWidth = kSteps * kStepWidth, kFrameHeight = 16;
// Stretched twice over the one view: a step is 16 pixels wide, its centre unaffected by filtering.
constexpr int kViewWidth = 2 * kFrameWidth, kViewHeight = 2 * kFrameHeight;

int StepGrey(int step) { return step * 255 / (kSteps - 1); }
int StepCentre(int step) { return step * 2 * kStepWidth + kStepWidth; }

double Opacity(int percent) { return (percent * 255 / 100) / 255.0; }

// The scene at one grey as a premultiplied layer (colour and alpha from 0 to 1).
struct Layer {
  double colour;
  double alpha;
};
Layer SceneAt(int grey, int shadowPercent, int screenPercent) {
  const double darkness = (255 - grey) / 255.0;
  const double screen = Opacity(screenPercent) * (1.0 - darkness);
  return {screen, screen + Opacity(shadowPercent) * darkness};
}

int Over(const Layer& top, int beneath) {
  return static_cast<int>(std::lround(255.0 * top.colour + beneath * (1.0 - top.alpha)));
}

::testing::AssertionResult Near(int actual, int expected, int tolerance = 2) {
  if (std::abs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << actual << " expected " << expected;
}

::testing::AssertionResult Near(const Colour& actual, const Colour& expected) {
  for (const auto [a, e] :
       {std::pair{actual.r, expected.r}, std::pair{actual.g, expected.g}, std::pair{actual.b, expected.b}}) {
    if (std::abs(a - e) > 2) {
      return ::testing::AssertionFailure()
             << "got (" << actual.r << ", " << actual.g << ", " << actual.b << ") expected (" << expected.r << ", "
             << expected.g << ", " << expected.b << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

Colour OverDesktop(const Layer& top, const Colour& desktop) {
  return {Over(top, desktop.r), Over(top, desktop.g), Over(top, desktop.b), 0};
}

const Colour kBlack{0, 0, 0, 0}, kWhite{255, 255, 255, 0}, kMid{40, 120, 200, 0};

using Opacities = std::tuple<int, int>;  // shadow, screen
const auto kOpacityPairs =
    ::testing::Values(Opacities{100, 0}, Opacities{100, 100}, Opacities{50, 50}, Opacities{0, 100});

class SoftEdges : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(d.Create(window.Handle()));
    layout.clientRect = {0, 0, kViewWidth, kViewHeight};
  }

  RenderSettings Settings(int shadowPercent, int screenPercent) const {
    RenderSettings settings;
    settings.foregroundAlpha = static_cast<uint8_t>(shadowPercent);
    settings.backgroundAlpha = static_cast<uint8_t>(screenPercent);
    settings.magType = MagType::StretchMonitor;  // no bars: the picture is the whole view
    return settings;
  }

  SilhouetteTextures Ramp(int shadowPercent) {
    return MakeSilhouette(d.device.Get(), kFrameWidth, kFrameHeight, shadowPercent,
                          [](int x, int) { return StepGrey(x / kStepWidth); });
  }

  // The ramp through the first pass and the Direct3D output, read back from the back buffer.
  std::unique_ptr<ReadBack> ShowRamp(PlaybackRenderer& renderer, int shadowPercent) {
    SilhouetteTextures frame = Ramp(shadowPercent);
    if (!frame.Ok()) return nullptr;
    renderer.DrawPackedScene(*frame.silhouette, *frame.mask);
    return DrawAndReadViews(renderer, d);
  }

  TestWindow window{0, 0, kViewWidth, kViewHeight};
  TestDevice d;
  DisplayLayout layout;
};

class DirectSoftEdges : public SoftEdges, public ::testing::WithParamInterface<std::tuple<Opacities, int>> {};

TEST_P(DirectSoftEdges, EveryStepLiesOnTheLineBetweenShadowAndScreen) {
  const auto [opacities, desktopIndex] = GetParam();
  const auto [shadowPercent, screenPercent] = opacities;
  const Colour desktop = std::array<Colour, 3>{kBlack, kWhite, kMid}[desktopIndex];
  layout.monitors = {SolidMonitor({0, 0, kViewWidth, kViewHeight}, desktop)};
  PlaybackRenderer renderer(d.device.Get(), d.backBuffer.Get());
  ASSERT_TRUE(renderer.BuildStateBlocks());
  ASSERT_TRUE(renderer.premultipliedScene()) << "the device cannot blend by a constant factor";
  ASSERT_TRUE(
      renderer.BuildResources(Settings(shadowPercent, screenPercent), layout, {kFrameWidth, kFrameHeight}, nullptr));
  const auto shot = ShowRamp(renderer, shadowPercent);
  ASSERT_TRUE(shot);
  for (int step = 0; step < kSteps; ++step) {
    SCOPED_TRACE(::testing::Message() << "grey " << StepGrey(step));
    EXPECT_TRUE(Near(shot->At(StepCentre(step), kViewHeight / 2),
                     OverDesktop(SceneAt(StepGrey(step), shadowPercent, screenPercent), desktop)));
  }
}

INSTANTIATE_TEST_SUITE_P(OpacitiesAndDesktops, DirectSoftEdges,
                         ::testing::Combine(kOpacityPairs, ::testing::Values(0, 1, 2)));

class LayeredSoftEdges : public SoftEdges, public ::testing::WithParamInterface<Opacities> {};

// The window manager lays the frame over the live desktop as colour + desktop x (1 - alpha): the
// frame must hold premultiplied colour and, in alpha, the coverage of veil and scene together.
TEST_P(LayeredSoftEdges, TheFrameHoldsPremultipliedColourAndTheCoverageOfVeilAndScene) {
  const auto [shadowPercent, screenPercent] = GetParam();
  layout.monitors = {SolidMonitor({0, 0, kViewWidth, kViewHeight}, kBlack)};
  LayeredRenderer renderer(d.device.Get());
  ASSERT_TRUE(renderer.BuildResources(Settings(shadowPercent, screenPercent), layout, {kFrameWidth, kFrameHeight},
                                      {kViewWidth, kViewHeight}));
  ASSERT_TRUE(renderer.premultipliedScene() && renderer.coverageAlpha()) << "the device lacks the blend states";
  SilhouetteTextures frame = Ramp(shadowPercent);
  ASSERT_TRUE(frame.Ok());
  Microsoft::WRL::ComPtr<IDirect3DSurface9> frameSurface;
  ASSERT_EQ(d.device->CreateOffscreenPlainSurface(kViewWidth, kViewHeight, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                  frameSurface.GetAddressOf(), nullptr),
            S_OK);

  renderer.DrawPackedScene(*frame.silhouette, *frame.mask);
  ASSERT_EQ(renderer.DrawLayers(), S_OK);
  ASSERT_EQ(renderer.CopyTo(frameSurface.Get()), S_OK);
  const ReadBack handed(frameSurface.Get());
  ASSERT_TRUE(handed.Ok());

  const double veil = Opacity(screenPercent);  // black at the screen's opacity, under everything
  for (int step = 0; step < kSteps; ++step) {
    SCOPED_TRACE(::testing::Message() << "grey " << StepGrey(step));
    const Layer scene = SceneAt(StepGrey(step), shadowPercent, screenPercent);
    const Layer stacked{scene.colour, scene.alpha + veil * (1.0 - scene.alpha)};
    const Colour texel = handed.At(StepCentre(step), kViewHeight / 2);
    EXPECT_TRUE(Near(texel.r, Over(stacked, 0))) << "red";
    EXPECT_TRUE(Near(texel.g, Over(stacked, 0))) << "green";
    EXPECT_TRUE(Near(texel.b, Over(stacked, 0))) << "blue";
    EXPECT_TRUE(Near(texel.a, static_cast<int>(std::lround(255.0 * stacked.alpha)))) << "alpha";
    // Over any desktop the window then shows what the Direct3D output shows over the same
    // desktop darkened by the veil.
    for (const Colour& desktop : {kBlack, kWhite, kMid}) {
      const Colour shown{texel.r + desktop.r * (255 - texel.a) / 255, texel.g + desktop.g * (255 - texel.a) / 255,
                         texel.b + desktop.b * (255 - texel.a) / 255, 0};
      const auto veiled = [&](int c) { return static_cast<int>(std::lround(c * (1.0 - veil))); };
      EXPECT_TRUE(Near(shown, OverDesktop(scene, {veiled(desktop.r), veiled(desktop.g), veiled(desktop.b), 0})));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Opacities, LayeredSoftEdges, kOpacityPairs);

// The shadow movie's pass: the effect takes alpha from brightness and keeps the movie's own grey,
// which is not premultiplied: it is laid as grey x alpha + beneath x (1 - alpha).
TEST_F(SoftEdges, AMoviesGreysAreLaidWithTheirOwnAlphaThroughTheEffect) {
  for (const auto& [shadowPercent, screenPercent] : {std::pair{100, 0}, std::pair{50, 50}, std::pair{80, 30}}) {
    auto effect =
        ShadowEffect::Create(d.device.Get(), static_cast<uint8_t>(shadowPercent), static_cast<uint8_t>(screenPercent));
    ASSERT_TRUE(effect) << "the effect could be made neither way";
    layout.monitors = {SolidMonitor({0, 0, kViewWidth, kViewHeight}, kMid)};
    PlaybackRenderer renderer(d.device.Get(), d.backBuffer.Get());
    ASSERT_TRUE(renderer.BuildStateBlocks());
    ASSERT_TRUE(
        renderer.BuildResources(Settings(shadowPercent, screenPercent), layout, {kFrameWidth, kFrameHeight}, nullptr));
    auto movie = QuadTexture::CreateBlank(d.device.Get(), kFrameWidth, kFrameHeight, 0, D3DFMT_X8R8G8B8);
    ASSERT_TRUE(movie);
    std::vector<uint32_t> texels(kFrameWidth * kFrameHeight);
    for (size_t i = 0; i < texels.size(); ++i)
      texels[i] = uint32_t(StepGrey(static_cast<int>(i % kFrameWidth) / kStepWidth)) * 0x010101u;
    ASSERT_EQ(movie->FillTexels(texels.data()), S_OK);

    renderer.DrawMovieScene(*movie, effect.get());
    ASSERT_EQ(renderer.DrawViews(), S_OK);
    const ReadBack shot(d.device.Get(), d.backBuffer.Get());
    ASSERT_TRUE(shot.Ok());
    for (int step = 0; step < kSteps; ++step) {
      SCOPED_TRACE(::testing::Message() << shadowPercent << "/" << screenPercent << " grey " << StepGrey(step));
      // The effect's opacities are the settings as floats, not their bytes.
      const double brightness = StepGrey(step) / 255.0;
      const double screen = screenPercent / 100.0, shadow = shadowPercent / 100.0;
      const double alpha = screen * brightness + shadow * (1.0 - brightness);
      const Layer scene{brightness * alpha, alpha};
      EXPECT_TRUE(Near(shot.At(StepCentre(step), kViewHeight / 2), OverDesktop(scene, kMid)));
    }
  }
}

// A device that cannot blend by a constant factor still draws the scene, with source alpha as
// before (soft edges then carry the light rim of g x (1 - g)).
TEST_F(SoftEdges, WithoutAConstantBlendFactorTheSceneIsLaidWithSourceAlpha) {
  layout.monitors = {SolidMonitor({0, 0, kViewWidth, kViewHeight}, kBlack)};
  FaultInjectingDevice limited(d.device.Get());
  limited.hideBlendCaps = true;
  PlaybackRenderer renderer(&limited, d.backBuffer.Get());
  ASSERT_TRUE(renderer.BuildStateBlocks());
  EXPECT_FALSE(renderer.premultipliedScene());
  ASSERT_TRUE(renderer.BuildResources(Settings(100, 0), layout, {kFrameWidth, kFrameHeight}, nullptr));
  const auto shot = ShowRamp(renderer, 100);
  ASSERT_TRUE(shot);
  for (int step = 0; step < kSteps; ++step) {
    SCOPED_TRACE(::testing::Message() << "grey " << StepGrey(step));
    const double darkness = (255 - StepGrey(step)) / 255.0;
    EXPECT_TRUE(Near(shot->At(StepCentre(step), kViewHeight / 2).r,
                     static_cast<int>(std::lround(255.0 * (1.0 - darkness) * darkness))));
  }
}
}  // namespace
