#include "render/DirectDrawCopy.h"

#include <algorithm>
#include <cstring>

namespace {
// DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT
constexpr uint32_t kDescribed = 0x00000001u | 0x00000002u | 0x00000004u | 0x00001000u;
constexpr uint32_t kFourCC = 0x00000004u;    // DDPF_FOURCC
constexpr uint32_t kPalette4 = 0x00000008u;  // DDPF_PALETTEINDEXED4
constexpr uint32_t kPalette8 = 0x00000020u;  // DDPF_PALETTEINDEXED8
constexpr uint32_t kRgb = 0x00000040u;       // DDPF_RGB
}  // namespace

CopyFormat CopyFormatOf(const DirectDrawPixels& pixels) {
  if ((pixels.descriptionFlags & kDescribed) != kDescribed) return CopyFormat::Unsupported;
  if ((pixels.formatFlags & kRgb) == 0) return CopyFormat::Unsupported;
  if ((pixels.formatFlags & (kPalette4 | kPalette8)) != 0) return CopyFormat::Unsupported;
  if ((pixels.formatFlags & kFourCC) != 0 && pixels.fourCC != 0) return CopyFormat::Unsupported;
  switch (pixels.bitCount) {
    case 32:
      return CopyFormat::X8R8G8B8;
    case 24:
      return CopyFormat::R8G8B8;
    case 16:
      if (pixels.redMask == 0xF800 && pixels.greenMask == 0x07E0 && pixels.blueMask == 0x001F)
        return CopyFormat::R5G6B5;
      return CopyFormat::Unsupported;
    default:
      return CopyFormat::Unsupported;
  }
}

void CopyRows(const uint8_t* source, size_t sourcePitch, uint8_t* destination, size_t destinationPitch, size_t rows) {
  const size_t rowBytes = std::min(sourcePitch, destinationPitch);
  for (size_t row = 0; row < rows; ++row) {
    std::memcpy(destination + row * destinationPitch, source + row * sourcePitch, rowBytes);
  }
}
