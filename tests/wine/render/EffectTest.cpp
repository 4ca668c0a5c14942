// The shadow movie's first pass: through the compiled effect (linked into this program as
// resource CFX 116) the scene's alpha follows the brightness; without it the movie is opaque.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "render/PlaybackRenderer.h"
#include "render/QuadTexture.h"
#include "render/ShadowEffect.h"
#include "tests/wine/render/RenderTestSupport.h"

namespace {
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
    if (!renderer->BuildStateBlocks() || !renderer->BuildResources(settings, layout, {kFrameSide, kFrameSide}, nullptr)) {
      return nullptr;
    }
    return renderer;
  }

  // A video frame of one colour, X8R8G8B8 like the video renderer's textures.
  std::unique_ptr<QuadTexture> Frame(int r, int g, int b) {
    auto frame = QuadTexture::CreateBlank(d.device.Get(), kFrameSide, kFrameSide, 0, D3DFMT_X8R8G8B8);
    if (!frame) return nullptr;
    std::vector<uint32_t> texels(kFrameSide * kFrameSide, uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b));
    if (FAILED(frame->FillTexels(texels.data()))) return nullptr;
    return frame;
  }

  Colour SceneCentre(PlaybackRenderer& renderer) {
    const ReadBack scene(d.device.Get(), renderer.SceneSurface());
    EXPECT_TRUE(scene.Ok());
    return scene.Ok() ? scene.At(kFrameSide / 2, kFrameSide / 2) : Colour{-1, -1, -1, -1};
  }

  TestWindow window{0, 0, 128, 128};
  TestDevice d;
  DisplayLayout layout;
};

struct Texel {
  int r, g, b;
};

TEST_F(MovieScene, TheEffectDerivesAlphaFromBrightness) {
  for (const auto& [shadowPercent, screenPercent] : {std::pair{100, 0}, std::pair{80, 30}, std::pair{25, 90}}) {
    auto effect = ShadowEffect::Create(d.device.Get(), static_cast<uint8_t>(shadowPercent), static_cast<uint8_t>(screenPercent));
    ASSERT_TRUE(effect) << "the effect resource or D3DX9_42.DLL could not be used";
    auto renderer = Build(static_cast<uint8_t>(shadowPercent), static_cast<uint8_t>(screenPercent));
    ASSERT_TRUE(renderer);
    for (const Texel t : {Texel{255, 255, 255}, Texel{0, 0, 0}, Texel{200, 100, 50}}) {
      SCOPED_TRACE(::testing::Message() << shadowPercent << "/" << screenPercent << " texel " << t.r << "," << t.g << "," << t.b);
      auto frame = Frame(t.r, t.g, t.b);
      ASSERT_TRUE(frame);
      renderer->DrawMovieScene(*frame, effect.get());
      const Colour c = SceneCentre(*renderer);
      const double brightness = (2.0 * t.r + 4.0 * t.g + t.b) / 7.0 / 255.0;
      const double alpha = screenPercent / 100.0 * brightness + shadowPercent / 100.0 * (1.0 - brightness);
      EXPECT_NEAR(c.a, alpha * 255.0, 1.0);
      EXPECT_NEAR(c.r, t.r, 1);  // the colour is kept
      EXPECT_NEAR(c.g, t.g, 1);
      EXPECT_NEAR(c.b, t.b, 1);
    }
  }
}

TEST_F(MovieScene, WithoutTheEffectTheMovieIsDrawnOpaque) {
  // A module without the resource stands for any failure on the way to the effect.
  EXPECT_EQ(ShadowEffect::Create(d.device.Get(), 100, 0, GetModuleHandleW(L"kernel32.dll")), nullptr);
  auto renderer = Build(100, 0);
  ASSERT_TRUE(renderer);
  auto frame = Frame(200, 100, 50);
  ASSERT_TRUE(frame);
  renderer->DrawMovieScene(*frame, nullptr);
  const Colour c = SceneCentre(*renderer);
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

TEST_F(MovieScene, TheEffectLeavesNoShaderBoundForTheSecondPass) {
  auto effect = ShadowEffect::Create(d.device.Get(), 100, 0);
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
}  // namespace
