#pragma once
// What the producer's tests share: a real window and device, settings, a frame file of pattern
// frames the test writes, the render thread's two events, the performance counter, and a
// read-back of the producer's default-pool textures.
#include <d3d9.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/UniqueHandle.h"
#include "framedata/ImageUnpacker.h"
#include "media/ShadowGraphProvider.h"
#include "settings/UmbraneConfig.h"
#include "tests/fixtures/FrameFileFixture.h"
#include "tests/wine/render/RenderTestSupport.h"

// Milliseconds on the performance counter, the frame clock's own time base.
double NowMs();
double PeriodMs();

// Every texel of a texture's level 0, copied through a render target (default-pool textures
// cannot be locked); empty on failure.
std::vector<uint32_t> ReadTexture(IDirect3DDevice9* device, const QuadTexture& texture);

// The texels a frame of grey bytes (bottom row first) must leave in each texture, over the
// texture's whole content area, top row first.
std::vector<uint32_t> ExpectedSilhouette(const Bytes& frame, uint32_t width, uint32_t height, uint8_t opacity);
std::vector<uint32_t> ExpectedMask(const Bytes& frame, uint32_t width, uint32_t height);

class ProducerTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kWidth = 40;  // not powers of two: the textures are larger
  static constexpr uint32_t kHeight = 24;

  ProducerTest();
  void SetUp() override;

  // Writes a file of `frames` pattern frames and opens it.
  void OpenFrames(uint32_t frames);
  std::unique_ptr<ShadowGraphProvider> MakeProducer(int64_t firstFrame);

  // Waits for one of the render thread's events; false after timeoutMs.
  bool WaitFor(HANDLE event, DWORD timeoutMs);
  bool Signalled(HANDLE event) { return WaitFor(event, 0); }

  // True when both textures (read under the producer's lock) show `frame` at `opacityPercent`.
  ::testing::AssertionResult TexturesShow(ShadowGraphProvider& producer, uint32_t frame, uint8_t opacityPercent);

  TestWindow window;
  TestDevice d;
  UmbraneConfig settings;
  TempFolder folder;
  ImageUnpacker unpacker;
  UniqueHandle ready;
  UniqueHandle ended;
};
