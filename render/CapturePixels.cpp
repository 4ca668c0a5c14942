#include "render/CapturePixels.h"

#include <cstring>

namespace {
struct Channel {
  uint32_t mask;
  uint32_t shift;
  uint32_t maximum;
};

Channel ChannelOf(uint32_t mask) {
  uint32_t shift = 0;
  while (shift < 32 && ((mask >> shift) & 1u) == 0) ++shift;
  return {mask, shift, shift < 32 ? mask >> shift : 0};
}

uint32_t Expand(uint16_t pixel, const Channel& c) { return ((pixel & c.mask) >> c.shift) * 255u / c.maximum; }

bool IsAcceptedSixteenBitLayout(const CapturePicture& s) {
  const bool fiveFiveFive = s.redMask == 0x7C00 && s.greenMask == 0x03E0 && s.blueMask == 0x001F;
  const bool fiveSixFive = s.redMask == 0xF800 && s.greenMask == 0x07E0 && s.blueMask == 0x001F;
  return fiveFiveFive || fiveSixFive;
}

uint32_t* TexelRow(uint8_t* destination, size_t pitch, int32_t row) {
  return reinterpret_cast<uint32_t*>(destination + pitch * static_cast<size_t>(row));
}

void ConvertThreeBytes(const CapturePicture& s, uint8_t* destination, size_t pitch) {
  for (int32_t row = 0; row < s.height; ++row) {
    const uint8_t* in = s.pixels + s.stride * static_cast<size_t>(row);
    uint32_t* out = TexelRow(destination, pitch, row);
    for (int32_t x = 0; x < s.width; ++x, in += 3) {
      out[x] = (uint32_t{in[2]} << 16) | (uint32_t{in[1]} << 8) | in[0];
    }
  }
}

void ConvertTwoBytes(const CapturePicture& s, uint8_t* destination, size_t pitch) {
  const Channel red = ChannelOf(s.redMask), green = ChannelOf(s.greenMask), blue = ChannelOf(s.blueMask);
  for (int32_t row = 0; row < s.height; ++row) {
    const uint8_t* in = s.pixels + s.stride * static_cast<size_t>(row);
    uint32_t* out = TexelRow(destination, pitch, row);
    for (int32_t x = 0; x < s.width; ++x, in += 2) {
      const uint16_t pixel = static_cast<uint16_t>(in[0] | (in[1] << 8));
      out[x] = 0xFF000000u | (Expand(pixel, red) << 16) | (Expand(pixel, green) << 8) | Expand(pixel, blue);
    }
  }
}
}  // namespace

CaptureConversion ConvertCapture(const CapturePicture& s, uint8_t* destination, size_t pitch) {
  if (s.width <= 0 || s.height <= 0) return CaptureConversion::Converted;
  const size_t rowBytes = static_cast<size_t>(s.width) * static_cast<size_t>(s.bytesPerPixel > 0 ? s.bytesPerPixel : 0);
  if (s.bytesPerPixel == 4 || s.bytesPerPixel == 3 || s.bytesPerPixel == 2) {
    if (s.stride < rowBytes || s.pixels == nullptr ||
        s.byteCount < s.stride * static_cast<size_t>(s.height - 1) + rowBytes) {
      return CaptureConversion::SourceTooSmall;
    }
  }
  switch (s.bytesPerPixel) {
    case 4:
      for (int32_t row = 0; row < s.height; ++row) {
        std::memcpy(TexelRow(destination, pitch, row), s.pixels + s.stride * static_cast<size_t>(row), rowBytes);
      }
      return CaptureConversion::Converted;
    case 3:
      ConvertThreeBytes(s, destination, pitch);
      return CaptureConversion::Converted;
    case 2:
      if (!IsAcceptedSixteenBitLayout(s)) return CaptureConversion::Refused;
      ConvertTwoBytes(s, destination, pitch);
      return CaptureConversion::Converted;
    default:
      return CaptureConversion::NotConverted;
  }
}

void CopyRows(const uint8_t* source, size_t sourceStride, uint8_t* destination, size_t destinationStride,
              size_t rowBytes, size_t rows) {
  for (size_t row = 0; row < rows; ++row) {
    std::memcpy(destination + destinationStride * row, source + sourceStride * row, rowBytes);
  }
}

size_t BitmapStride(int32_t width, int32_t bitsPerPixel) {
  return (static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32 * 4;
}
