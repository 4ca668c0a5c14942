// The per-frame path (both passes and the present, or the layered pass and the read-back)
// allocates nothing and uses no vertex buffer.
#include <gtest/gtest.h>

#include <memory>

#include "render/LayeredRenderer.h"
#include "render/PlaybackRenderer.h"
#include "render/QuadTexture.h"
#include "tests/wine/render/RenderTestSupport.h"

#include "tests/wine/support/AllocationCounter.h"

namespace {
class PerFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(d.Create(window.Handle()));
    layout.clientRect = {0, 0, 256, 128};
    layout.monitors = {SolidMonitor({0, 0, 128, 128}, {10, 20, 30, 0}),
                       SolidMonitor({128, 0, 128, 128}, {30, 20, 10, 0})};
    settings.frameEnabled = true;
    settings.magType = MagType::FitMonitor;
  }

  TestWindow window{0, 0, 256, 128};
  TestDevice d;
  DisplayLayout layout;
  RenderSettings settings;
};

TEST_F(PerFrame, DrawingAndPresentingAllocateNothingAndBindNoVertexBuffer) {
  PlaybackRenderer renderer(d.device.Get(), d.backBuffer.Get());
  ASSERT_TRUE(renderer.BuildStateBlocks());
  ASSERT_TRUE(renderer.BuildResources(settings, layout, {64, 32}, nullptr));
  auto silhouette = QuadTexture::CreateBlank(d.device.Get(), 64, 32, 0, D3DFMT_A8R8G8B8);
  auto mask = QuadTexture::CreateBlank(d.device.Get(), 64, 32, 0, D3DFMT_A8R8G8B8);
  ASSERT_TRUE(silhouette && mask);
  std::vector<uint8_t> maskBytes(64 * 32, 128);
  // The first upload makes the mask's staging surface; later frames reuse it.
  ASSERT_EQ(mask->FillAlpha(maskBytes.data(), maskBytes.size(), 0, true), S_OK);

  const long before = AllocationCount();
  for (int frame = 0; frame < 30; ++frame) {
    ASSERT_EQ(mask->FillAlpha(maskBytes.data(), maskBytes.size(), 0, true), S_OK);
    renderer.DrawPackedScene(*silhouette, *mask);
    ASSERT_EQ(renderer.DrawViews(), S_OK);
    ASSERT_EQ(renderer.Present(), S_OK);
  }
  EXPECT_EQ(AllocationCount() - before, 0);

  Microsoft::WRL::ComPtr<IDirect3DVertexBuffer9> stream;
  UINT offset = 1, stride = 1;
  ASSERT_EQ(d.device->GetStreamSource(0, stream.GetAddressOf(), &offset, &stride), S_OK);
  EXPECT_EQ(stream, nullptr);
}

TEST_F(PerFrame, TheLayeredPassAndItsReadBackAllocateNothing) {
  LayeredRenderer renderer(d.device.Get());
  ASSERT_TRUE(renderer.BuildResources(settings, layout, {64, 32}, {256, 128}));
  SilhouetteTextures frame = MakeSilhouette(d.device.Get(), 64, 32, 100, [](int x, int) { return x * 4; });
  ASSERT_TRUE(frame.Ok());
  Microsoft::WRL::ComPtr<IDirect3DSurface9> frameSurface;
  ASSERT_EQ(d.device->CreateOffscreenPlainSurface(256, 128, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                  frameSurface.GetAddressOf(), nullptr),
            S_OK);

  const long before = AllocationCount();
  for (int i = 0; i < 30; ++i) {
    renderer.DrawPackedScene(*frame.silhouette, *frame.mask);
    ASSERT_EQ(renderer.DrawLayers(), S_OK);
    ASSERT_EQ(renderer.CopyTo(frameSurface.Get()), S_OK);
  }
  EXPECT_EQ(AllocationCount() - before, 0);
}
}  // namespace
