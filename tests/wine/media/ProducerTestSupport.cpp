#include <gtest/gtest.h>

#include "tests/wine/media/ProducerTestSupport.h"

#include <wrl/client.h>

#include "base/ThreadToolkit.h"
#include "framedata/SilhouetteConversion.h"

using Microsoft::WRL::ComPtr;

namespace {
double CounterFrequency() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart);
}

// The texture texel (x, row) comes from the stored frame's row height - 1 - row.
template <typename TexelOf>
std::vector<uint32_t> TopRowFirst(const Bytes& frame, uint32_t width, uint32_t height, TexelOf texelOf) {
  std::vector<uint32_t> texels(static_cast<size_t>(width) * height);
  for (uint32_t row = 0; row < height; ++row) {
    for (uint32_t x = 0; x < width; ++x) {
      texels[static_cast<size_t>(row) * width + x] = texelOf(frame[static_cast<size_t>(height - 1 - row) * width + x]);
    }
  }
  return texels;
}
}  // namespace

double NowMs() {
  static const double frequency = CounterFrequency();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

double PeriodMs() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart / 30) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::vector<uint32_t> ReadTexture(IDirect3DDevice9* device, const QuadTexture& texture) {
  const D3DSURFACE_DESC& level = texture.LevelDescription();
  ComPtr<IDirect3DSurface9> source, target;
  if (FAILED(texture.GetLevelSurface(source.GetAddressOf())) ||
      FAILED(device->CreateRenderTarget(level.Width, level.Height, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                        target.GetAddressOf(), nullptr)) ||
      FAILED(device->StretchRect(source.Get(), nullptr, target.Get(), nullptr, D3DTEXF_NONE))) {
    return {};
  }
  ReadBack back(device, target.Get());
  if (!back.Ok()) return {};
  std::vector<uint32_t> texels;
  for (UINT row = 0; row < texture.contentHeight(); ++row) {
    for (UINT x = 0; x < texture.contentWidth(); ++x) {
      const Colour c = back.At(static_cast<int>(x), static_cast<int>(row));
      texels.push_back(static_cast<uint32_t>(c.a) << 24 | static_cast<uint32_t>(c.r) << 16 |
                       static_cast<uint32_t>(c.g) << 8 | static_cast<uint32_t>(c.b));
    }
  }
  return texels;
}

std::vector<uint32_t> ExpectedSilhouette(const Bytes& frame, uint32_t width, uint32_t height, uint8_t opacity) {
  return TopRowFirst(frame, width, height,
                     [opacity](uint8_t grey) { return static_cast<uint32_t>((255u - grey) * opacity / 255u) << 24; });
}

std::vector<uint32_t> ExpectedMask(const Bytes& frame, uint32_t width, uint32_t height) {
  return TopRowFirst(frame, width, height, [](uint8_t grey) { return static_cast<uint32_t>(255u - grey) << 24; });
}

ProducerTest::ProducerTest()
    : window(0, 0, 128, 128),
      settings(window.Handle()),
      ready(CreateEventOrDie(false, false)),
      ended(CreateEventOrDie(false, false)) {}

void ProducerTest::SetUp() {
  ASSERT_TRUE(d.Create(window.Handle()));
  settings.foregroundAlpha = 100;
}

void ProducerTest::OpenFrames(uint32_t frames) {
  const auto path = folder.Write("frames.bin", PatternFile(kWidth, kHeight, frames).FileBytes());
  ASSERT_TRUE(unpacker.Open(WidePath(path), false));
}

std::unique_ptr<ShadowGraphProvider> ProducerTest::MakeProducer(int64_t firstFrame) {
  return std::make_unique<ShadowGraphProvider>(d.device.Get(), settings.foregroundAlpha, unpacker, firstFrame,
                                               ready.get(), ended.get());
}

bool ProducerTest::WaitFor(HANDLE event, DWORD timeoutMs) {
  return WaitForSingleObject(event, timeoutMs) == WAIT_OBJECT_0;
}

::testing::AssertionResult ProducerTest::TexturesShow(ShadowGraphProvider& producer, uint32_t frame,
                                                      uint8_t opacityPercent) {
  const Bytes picture = PatternFrame(kWidth, kHeight, frame);
  std::vector<uint32_t> silhouette, mask;
  {
    LockGuard guard(producer);
    silhouette = ReadTexture(d.device.Get(), producer.silhouetteTexture());
    mask = ReadTexture(d.device.Get(), producer.maskTexture());
  }
  if (silhouette.empty() || mask.empty()) return ::testing::AssertionFailure() << "texture read-back failed";
  if (silhouette != ExpectedSilhouette(picture, kWidth, kHeight, OpacityByteFromPercent(opacityPercent))) {
    return ::testing::AssertionFailure() << "the silhouette is not frame " << frame << " at " << int{opacityPercent}
                                         << " %";
  }
  if (mask != ExpectedMask(picture, kWidth, kHeight)) {
    return ::testing::AssertionFailure() << "the mask is not frame " << frame;
  }
  return ::testing::AssertionSuccess();
}
