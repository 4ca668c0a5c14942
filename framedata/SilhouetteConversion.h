#pragma once
// The two drawn forms of a silhouette frame (width x height grey bytes, bottom row first,
// 0 = black shadow, 255 = white background). Plain loops with no operating system in them: the
// caller locks the surface around WriteSilhouetteTexels.
#include <cstddef>
#include <cstdint>
#include <vector>

// A percent setting (0..100) as an opacity byte: 100 gives 255, 50 gives 127.
inline uint8_t OpacityByteFromPercent(uint8_t percent) {
  return static_cast<uint8_t>((percent > 100 ? 100 : percent) * 255u / 100u);
}

// A8R8G8B8 texels, top row first: colour zero, alpha = (255 - grey) * opacity / 255. Rows of the
// destination are `pitchBytes` apart; texels right of `width` and rows below `height` are left
// as they were.
void WriteSilhouetteTexels(const uint8_t* frame, uint32_t width, uint32_t height, uint8_t opacity, uint32_t* texels,
                           size_t pitchBytes);

// Mask bytes, 255 - grey, in the stored (bottom-up) order; `mask` is resized to the frame.
void WriteMask(const uint8_t* frame, uint32_t width, uint32_t height, std::vector<uint8_t>& mask);

// Both of the above in one pass over the frame (each source byte is read once): what a caller
// that needs both forms of every frame should use.
void WriteSilhouetteTexelsAndMask(const uint8_t* frame, uint32_t width, uint32_t height, uint8_t opacity,
                                  uint32_t* texels, size_t pitchBytes, std::vector<uint8_t>& mask);
