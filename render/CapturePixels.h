#pragma once
// Turning a monitor capture into X8R8G8B8 texels.
#include <cstddef>
#include <cstdint>

struct CapturePicture {
  const uint8_t* pixels = nullptr;
  size_t byteCount = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bytesPerPixel = 0;
  size_t stride = 0;  // bytes from one source row to the next
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;
};

enum class CaptureConversion {
  Converted,
  NotConverted,    // a pixel size without a conversion (1 byte, ...): the texels are untouched
  Refused,         // a 16-bit layout other than 5-5-5 and 5-6-5
  SourceTooSmall,  // the buffer is shorter than its rows claim
};

// Writes height rows of width texels into destination, row r of the source into texel row r
// (the texture keeps the bottom-up order and is drawn flipped). 4 bytes: copied as they are;
// 3 bytes: B, G, R become (R << 16) | (G << 8) | B; 2 bytes: each channel c of maximum m
// becomes c * 255 / m with alpha 0xFF.
CaptureConversion ConvertCapture(const CapturePicture& source, uint8_t* destination, size_t destinationPitch);

// Copies rows of rowBytes between buffers whose rows lie sourceStride and destinationStride bytes
// apart. A bitmap pads its rows to 4 bytes and a capture record does not, so pictures of odd widths
// are sheared neither when they are captured nor when they are painted.
void CopyRows(const uint8_t* source, size_t sourceStride, uint8_t* destination, size_t destinationStride,
              size_t rowBytes, size_t rows);

// Bytes from one row of a device-independent bitmap to the next: whole 4-byte units.
size_t BitmapStride(int32_t width, int32_t bitsPerPixel);
