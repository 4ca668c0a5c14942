#include "framedata/SilhouetteConversion.h"

#include <cstring>

namespace {
// x / 255 for 0 <= x <= 255 * 255, in 16-bit arithmetic that vectorises (no division, no table
// gather).
inline uint16_t DivideBy255(uint16_t x) { return static_cast<uint16_t>((x + 1u + (x >> 8)) >> 8); }

// Work in fixed blocks so that the compiler turns each block into vector code without needing
// to prove that source and destination do not overlap.
constexpr uint32_t kBlock = 16;

void TexelBlock(const uint8_t* source, uint16_t opacity, uint32_t* destination) {
  uint8_t grey[kBlock];
  uint32_t texel[kBlock];
  std::memcpy(grey, source, kBlock);
  for (uint32_t i = 0; i < kBlock; ++i) {
    const uint16_t alpha = DivideBy255(static_cast<uint16_t>((255u - grey[i]) * opacity));
    texel[i] = static_cast<uint32_t>(alpha) << 24;
  }
  std::memcpy(destination, texel, sizeof texel);
}

void TexelRow(const uint8_t* source, uint32_t width, uint16_t opacity, uint32_t* destination) {
  uint32_t x = 0;
  for (; x + kBlock <= width; x += kBlock) TexelBlock(source + x, opacity, destination + x);
  for (; x < width; ++x) {
    destination[x] = static_cast<uint32_t>(DivideBy255(static_cast<uint16_t>((255u - source[x]) * opacity))) << 24;
  }
}

void MaskBlock(const uint8_t* source, uint8_t* destination) {
  uint8_t bytes[kBlock];
  std::memcpy(bytes, source, kBlock);
  for (uint32_t i = 0; i < kBlock; ++i) bytes[i] = static_cast<uint8_t>(255u - bytes[i]);
  std::memcpy(destination, bytes, kBlock);
}
}  // namespace

void WriteSilhouetteTexels(const uint8_t* frame, uint32_t width, uint32_t height, uint8_t opacity,
                           uint32_t* texels, size_t pitchBytes) {
  auto* row = reinterpret_cast<unsigned char*>(texels);
  for (uint32_t y = 0; y < height; ++y, row += pitchBytes) {
    // The frame is stored bottom row first; the surface wants the top row first.
    const uint8_t* source = frame + static_cast<size_t>(height - 1 - y) * width;
    TexelRow(source, width, opacity, reinterpret_cast<uint32_t*>(row));
  }
}

void WriteMask(const uint8_t* frame, uint32_t width, uint32_t height, std::vector<uint8_t>& mask) {
  const size_t length = static_cast<size_t>(width) * height;
  mask.resize(length);
  size_t i = 0;
  for (; i + kBlock <= length; i += kBlock) MaskBlock(frame + i, mask.data() + i);
  for (; i < length; ++i) mask[i] = static_cast<uint8_t>(255u - frame[i]);
}
