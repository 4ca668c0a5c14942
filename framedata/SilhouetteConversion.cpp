#include "framedata/SilhouetteConversion.h"

#include <cstring>

namespace {
// x / 255 for 0 <= x <= 255 * 255, in 16-bit arithmetic that vectorises (no division, no table
// gather).
inline uint16_t DivideBy255(uint16_t x) { return static_cast<uint16_t>((x + 1u + (x >> 8)) >> 8); }

inline uint32_t Texel(uint8_t inverseGrey, uint16_t opacity) {
  return static_cast<uint32_t>(DivideBy255(static_cast<uint16_t>(inverseGrey * opacity))) << 24;
}

// Work in fixed blocks so that the compiler turns each block into vector code without needing to
// prove that source and destinations do not overlap.
constexpr uint32_t kBlock = 16;

// One source row into its texel row and/or its mask row; both forms start from 255 - grey.
template <bool kTexels, bool kMask>
void ConvertRow(const uint8_t* source, uint32_t width, uint16_t opacity, uint32_t* texels, uint8_t* mask) {
  uint32_t x = 0;
  for (; x + kBlock <= width; x += kBlock) {
    uint8_t inverse[kBlock];
    std::memcpy(inverse, source + x, kBlock);
    for (uint32_t i = 0; i < kBlock; ++i) inverse[i] = static_cast<uint8_t>(255u - inverse[i]);
    if constexpr (kMask) std::memcpy(mask + x, inverse, kBlock);
    if constexpr (kTexels) {
      uint32_t block[kBlock];
      for (uint32_t i = 0; i < kBlock; ++i) block[i] = Texel(inverse[i], opacity);
      std::memcpy(texels + x, block, sizeof block);
    }
  }
  for (; x < width; ++x) {
    const auto inverse = static_cast<uint8_t>(255u - source[x]);
    if constexpr (kMask) mask[x] = inverse;
    if constexpr (kTexels) texels[x] = Texel(inverse, opacity);
  }
}

template <bool kTexels, bool kMask>
void ConvertFrame(const uint8_t* frame, uint32_t width, uint32_t height, uint8_t opacity, uint32_t* texels,
                  size_t pitchBytes, uint8_t* mask) {
  auto* texelRow = reinterpret_cast<unsigned char*>(texels);
  for (uint32_t y = 0; y < height; ++y) {
    // The frame is stored bottom row first; the surface wants the top row first. The mask keeps
    // the stored order.
    const size_t source = static_cast<size_t>(height - 1 - y) * width;
    ConvertRow<kTexels, kMask>(frame + source, width, opacity, reinterpret_cast<uint32_t*>(texelRow),
                               kMask ? mask + source : nullptr);
    if constexpr (kTexels) texelRow += pitchBytes;
  }
}
}  // namespace

void WriteSilhouetteTexels(const uint8_t* frame, uint32_t width, uint32_t height, uint8_t opacity, uint32_t* texels,
                           size_t pitchBytes) {
  ConvertFrame<true, false>(frame, width, height, opacity, texels, pitchBytes, nullptr);
}

void WriteMask(const uint8_t* frame, uint32_t width, uint32_t height, std::vector<uint8_t>& mask) {
  mask.resize(static_cast<size_t>(width) * height);
  ConvertFrame<false, true>(frame, width, height, 0, nullptr, 0, mask.data());
}

void WriteSilhouetteTexelsAndMask(const uint8_t* frame, uint32_t width, uint32_t height, uint8_t opacity,
                                  uint32_t* texels, size_t pitchBytes, std::vector<uint8_t>& mask) {
  mask.resize(static_cast<size_t>(width) * height);
  ConvertFrame<true, true>(frame, width, height, opacity, texels, pitchBytes, mask.data());
}
