// The shadow movie's first pass: through the compiled effect (linked into this program as
// resource CFX 116), made by D3DX or by the device from the effect's own shaders, the scene's
// alpha follows the brightness and the movie keeps its colours; without it the movie is opaque.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "FaultInjectingDevice.h"
#include "render/PlaybackRenderer.h"
#include "render/QuadTexture.h"
#include "render/ShadowEffect.h"
#include "tests/wine/render/RenderTestSupport.h"

namespace {
using Way = ShadowEffect::Way;

std::unique_ptr<ShadowEffect> MakeEffect(Way way, IDirect3DDevice9* device, int shadowPercent, int screenPercent,
                                         EffectBytes bytes = FindEffectResource()) {
  const auto shadow = static_cast<uint8_t>(shadowPercent), screen = static_cast<uint8_t>(screenPercent);
  return way == Way::D3dx ? ShadowEffect::CreateWithD3dx(device, shadow, screen, bytes)
                          : ShadowEffect::CreateFromShaders(device, shadow, screen, bytes);
}

struct Texel {
  int r, g, b;
};

// A video frame, X8R8G8B8 like the video renderer's textures, texel colourOf(x).
std::unique_ptr<QuadTexture> MakeFrame(IDirect3DDevice9* device, int width, int height,
                                       const std::function<Texel(int x)>& colourOf) {
  auto frame = QuadTexture::CreateBlank(device, width, height, 0, D3DFMT_X8R8G8B8);
  if (!frame) return nullptr;
  std::vector<uint32_t> texels(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < texels.size(); ++i) {
    const Texel t = colourOf(static_cast<int>(i % width));
    texels[i] = uint32_t(t.r) << 16 | uint32_t(t.g) << 8 | uint32_t(t.b);
  }
  if (FAILED(frame->FillTexels(texels.data()))) return nullptr;
  return frame;
}

// The effect's alpha for a texel (its opacities are the settings as floats, not their bytes).
double EffectAlpha(const Texel& t, int shadowPercent, int screenPercent) {
  const double brightness = (2.0 * t.r + 4.0 * t.g + t.b) / 7.0 / 255.0;
  return screenPercent / 100.0 * brightness + shadowPercent / 100.0 * (1.0 - brightness);
}

constexpr int kFrameSide = 16;

class MovieScene : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(d.Create(window.Handle()));
    layout.clientRect = {0, 0, 128, 128};
    layout.monitors = {SolidMonitor({0, 0, 128, 128}, {0, 0, 0, 0})};
  }

  std::unique_ptr<PlaybackRenderer> Build(uint8_t shadowPercent, uint8_t screenPercent) {
    RenderSettings settings;
    settings.foregroundAlpha = shadowPercent;
    settings.backgroundAlpha = screenPercent;
    auto renderer = std::make_unique<PlaybackRenderer>(d.device.Get(), d.backBuffer.Get());
    if (!renderer->BuildStateBlocks() ||
        !renderer->BuildResources(settings, layout, {kFrameSide, kFrameSide}, nullptr)) {
      return nullptr;
    }
    return renderer;
  }

  std::unique_ptr<QuadTexture> Frame(int r, int g, int b, int width = kFrameSide, int height = kFrameSide) {
    return MakeFrame(d.device.Get(), width, height, [&](int) { return Texel{r, g, b}; });
  }

  Colour SceneAt(PlaybackRenderer& renderer, int x, int y) {
    const ReadBack scene(d.device.Get(), renderer.SceneSurface());
    EXPECT_TRUE(scene.Ok());
    return scene.Ok() ? scene.At(x, y) : Colour{-1, -1, -1, -1};
  }

  TestWindow window{0, 0, 128, 128};
  TestDevice d;
  DisplayLayout layout;
};

class MovieSceneEitherWay : public MovieScene, public ::testing::WithParamInterface<Way> {};

TEST_P(MovieSceneEitherWay, TheEffectDerivesAlphaFromBrightnessAndKeepsTheColour) {
  for (const auto& [shadowPercent, screenPercent] : {std::pair{100, 0}, std::pair{80, 30}, std::pair{25, 90}}) {
    auto effect = MakeEffect(GetParam(), d.device.Get(), shadowPercent, screenPercent);
    ASSERT_TRUE(effect) << "the effect resource, D3DX9_42.DLL or the device's shaders could not be used";
    EXPECT_EQ(effect->way(), GetParam());
    auto renderer = Build(static_cast<uint8_t>(shadowPercent), static_cast<uint8_t>(screenPercent));
    ASSERT_TRUE(renderer);
    for (const Texel t : {Texel{255, 255, 255}, Texel{0, 0, 0}, Texel{200, 100, 50}}) {
      SCOPED_TRACE(::testing::Message() << shadowPercent << "/" << screenPercent << " texel " << t.r << "," << t.g
                                        << "," << t.b);
      auto frame = Frame(t.r, t.g, t.b);
      ASSERT_TRUE(frame);
      renderer->DrawMovieScene(*frame, effect.get());
      const Colour c = SceneAt(*renderer, kFrameSide / 2, kFrameSide / 2);
      EXPECT_NEAR(c.a, EffectAlpha(t, shadowPercent, screenPercent) * 255.0, 1.0);
      EXPECT_NEAR(c.r, t.r, 1);
      EXPECT_NEAR(c.g, t.g, 1);
      EXPECT_NEAR(c.b, t.b, 1);
    }
  }
}

TEST_P(MovieSceneEitherWay, TheEffectLeavesNoShaderBoundForTheSecondPass) {
  auto effect = MakeEffect(GetParam(), d.device.Get(), 100, 0);
  ASSERT_TRUE(effect);
  auto renderer = Build(100, 0);
  ASSERT_TRUE(renderer);
  auto frame = Frame(255, 255, 255);
  ASSERT_TRUE(frame);
  renderer->DrawMovieScene(*frame, effect.get());
  Microsoft::WRL::ComPtr<IDirect3DPixelShader9> pixelShader;
  Microsoft::WRL::ComPtr<IDirect3DVertexShader9> vertexShader;
  EXPECT_EQ(d.device->GetPixelShader(pixelShader.GetAddressOf()), S_OK);
  EXPECT_EQ(d.device->GetVertexShader(vertexShader.GetAddressOf()), S_OK);
  EXPECT_EQ(pixelShader, nullptr);
  EXPECT_EQ(vertexShader, nullptr);
}

// A corrupt or truncated effect resource, or a device that refuses the shaders, gives no effect
// (the movie is then drawn opaque), and nothing crashes on the way.
TEST_P(MovieSceneEitherWay, ADamagedResourceGivesNoEffect) {
  const EffectBytes real = FindEffectResource();
  ASSERT_TRUE(real.data);
  const std::vector<uint8_t> whole(real.data, real.data + real.size);
  for (const size_t kept : {size_t{0}, size_t{4}, size_t{8}, whole.size() / 2, whole.size() - 8}) {
    SCOPED_TRACE(kept);
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(kept));
    EXPECT_EQ(MakeEffect(GetParam(), d.device.Get(), 100, 0, {cut.data(), cut.size()}), nullptr);
  }
  std::vector<uint8_t> noHeader = whole;
  noHeader[0] ^= 0xFF;
  EXPECT_EQ(MakeEffect(GetParam(), d.device.Get(), 100, 0, {noHeader.data(), noHeader.size()}), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Ways, MovieSceneEitherWay, ::testing::Values(Way::D3dx, Way::DeviceShaders),
                         [](const auto& info) { return info.param == Way::D3dx ? "D3dx" : "DeviceShaders"; });

TEST_F(MovieScene, TheDevicesWayIsPossibleWhereTheAdapterRunsTheEffectsPixelShader) {
  EXPECT_TRUE(ShadowEffect::DeviceShadersPossible(d.d3d.Get()));
  EXPECT_FALSE(ShadowEffect::DeviceShadersPossible(d.d3d.Get(), GetModuleHandleW(L"kernel32.dll"))) << "no effect";
}

TEST_F(MovieScene, BytecodeTheDeviceRefusesGivesNoEffectOfItsOwn) {
  FaultInjectingDevice refusing(d.device.Get());
  refusing.refusePixelShaders = true;
  EXPECT_EQ(MakeEffect(Way::DeviceShaders, &refusing, 100, 0), nullptr);
  EXPECT_TRUE(MakeEffect(Way::DeviceShaders, d.device.Get(), 100, 0)) << "the real device makes them";
}

TEST_F(MovieScene, WithoutTheEffectTheMovieIsDrawnOpaque) {
  // A module without the resource stands for any failure on the way to the effect.
  EXPECT_EQ(ShadowEffect::Create(d.device.Get(), 100, 0, GetModuleHandleW(L"kernel32.dll")), nullptr);
  auto renderer = Build(100, 0);
  ASSERT_TRUE(renderer);
  auto frame = Frame(200, 100, 50);
  ASSERT_TRUE(frame);
  renderer->DrawMovieScene(*frame, nullptr);
  const Colour c = SceneAt(*renderer, kFrameSide / 2, kFrameSide / 2);
  EXPECT_EQ(c.a, 255);
  EXPECT_EQ(c.r, 200);
  EXPECT_EQ(c.g, 100);
  EXPECT_EQ(c.b, 50);
  // And on screen it covers the background completely.
  ASSERT_EQ(renderer->DrawViews(), S_OK);
  const ReadBack shot(d.device.Get(), d.backBuffer.Get());
  ASSERT_TRUE(shot.Ok());
  const Colour centre = shot.At(64, 64);
  EXPECT_NEAR(centre.r, 200, 1);
  EXPECT_NEAR(centre.g, 100, 1);
  EXPECT_NEAR(centre.b, 50, 1);
}

TEST_F(MovieScene, AFrameOfAnotherSizeMidStreamStillFillsTheWholeScene) {
  auto renderer = Build(100, 0);
  ASSERT_TRUE(renderer);
  for (const auto& [width, height] : {std::pair{32, 8}, std::pair{7, 5}}) {
    SCOPED_TRACE(::testing::Message() << width << "x" << height);
    auto frame = Frame(200, 100, 50, width, height);
    ASSERT_TRUE(frame);
    renderer->DrawMovieScene(*frame, nullptr);
    // Near the scene's corners: a picture this small is magnified threefold, and within one texel of
    // its edge the linear filter also reaches the texels beyond it.
    for (const auto& [x, y] :
         {std::pair{2, 2}, std::pair{kFrameSide - 3, kFrameSide - 3}, std::pair{kFrameSide - 3, 2}}) {
      const Colour c = SceneAt(*renderer, x, y);
      EXPECT_EQ(c.a, 255) << x << "," << y;
      EXPECT_NEAR(c.r, 200, 1) << x << "," << y;
    }
  }
}

// A colour movie over a known desktop: stripes of grey 128, pure red and a grey ramp, each laid
// with its own colour at the effect's alpha (source-alpha blending). Mid-greys and colours would
// show at once if the scene were laid as premultiplied colour: darker, or black at screen opacity 0.
constexpr int kStripeWidth = 16, kFrameWidth = 8 * kStripeWidth, kFrameHeight = 8;
constexpr int kViewWidth = 2 * kFrameWidth, kViewHeight = 4 * kFrameHeight;
const std::array<Texel, 8> kStripes{{{128, 128, 128},
                                     {255, 0, 0},
                                     {0, 0, 0},
                                     {51, 51, 51},
                                     {102, 102, 102},
                                     {153, 153, 153},
                                     {204, 204, 204},
                                     {255, 255, 255}}};
const Colour kDesktop{51, 102, 153, 0};  // #336699

using Opacities = std::tuple<int, int>;  // shadow, screen

class ColourMovie : public ::testing::TestWithParam<Opacities> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(d.Create(window.Handle()));
    layout.clientRect = {0, 0, kViewWidth, kViewHeight};
    layout.monitors = {SolidMonitor({0, 0, kViewWidth, kViewHeight}, kDesktop)};
  }

  // The stripes through the scene and the second pass, read back from the back buffer.
  std::unique_ptr<ReadBack> Show(Way way) {
    const auto [shadowPercent, screenPercent] = GetParam();
    auto effect = MakeEffect(way, d.device.Get(), shadowPercent, screenPercent);
    auto frame = MakeFrame(d.device.Get(), kFrameWidth, kFrameHeight, [](int x) { return kStripes[x / kStripeWidth]; });
    RenderSettings settings;
    settings.foregroundAlpha = static_cast<uint8_t>(shadowPercent);
    settings.backgroundAlpha = static_cast<uint8_t>(screenPercent);
    settings.magType = MagType::StretchMonitor;  // the picture is the whole view, a stripe 32 pixels wide
    PlaybackRenderer renderer(d.device.Get(), d.backBuffer.Get());
    if (!effect || !frame || !renderer.BuildStateBlocks() ||
        !renderer.BuildResources(settings, layout, {kFrameWidth, kFrameHeight}, nullptr)) {
      return nullptr;
    }
    renderer.DrawMovieScene(*frame, effect.get());
    return DrawAndReadViews(renderer, d);
  }

  TestWindow window{0, 0, kViewWidth, kViewHeight};
  TestDevice d;
  DisplayLayout layout;
};

TEST_P(ColourMovie, EveryStripeKeepsItsColourAtItsOpacityOverTheDesktopAndBothWaysAgree) {
  const auto [shadowPercent, screenPercent] = GetParam();
  const auto d3dx = Show(Way::D3dx);
  const auto shaders = Show(Way::DeviceShaders);
  ASSERT_TRUE(d3dx && shaders);
  for (size_t i = 0; i < kStripes.size(); ++i) {
    const Texel t = kStripes[i];
    const double alpha = EffectAlpha(t, shadowPercent, screenPercent);
    const auto over = [&](int colour, int desktop) { return colour * alpha + desktop * (1.0 - alpha); };
    const Colour shown = shaders->At(static_cast<int>(i) * 2 * kStripeWidth + kStripeWidth, kViewHeight / 2);
    SCOPED_TRACE(::testing::Message() << shadowPercent << "/" << screenPercent << " stripe " << t.r << "," << t.g << ","
                                      << t.b << " shows " << shown.r << "," << shown.g << "," << shown.b);
    EXPECT_NEAR(shown.r, over(t.r, kDesktop.r), 3);
    EXPECT_NEAR(shown.g, over(t.g, kDesktop.g), 3);
    EXPECT_NEAR(shown.b, over(t.b, kDesktop.b), 3);
  }
  int worst = 0;
  for (int y = 0; y < kViewHeight; ++y) {
    for (int x = 0; x < kViewWidth; ++x) {
      const Colour a = d3dx->At(x, y), b = shaders->At(x, y);
      worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
    }
  }
  EXPECT_LE(worst, 2) << "the two ways' pictures differ";
}

INSTANTIATE_TEST_SUITE_P(Opacities, ColourMovie,
                         ::testing::Values(Opacities{100, 0}, Opacities{50, 50}, Opacities{0, 100}));
}  // namespace
