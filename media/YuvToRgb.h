#pragma once
// Decoded video pictures into 32-bit BGRX rows, the layout the video renderers take. Portable:
// no operating system, unit-tested natively. Strides are in bytes and may be negative (a bottom-up
// destination is its last row with a negative stride).
#include <cstddef>
#include <cstdint>

// Which YUV-to-RGB matrix the picture was encoded with; video-range (16-235) samples in both.
enum class YuvMatrix { Bt601, Bt709 };

struct PlaneView {
  const uint8_t* data;
  ptrdiff_t stride;
};

// NV12: a full-size luma plane, then one half-size plane of interleaved U,V pairs. Odd widths and
// heights take the chroma of the pair they round down to.
void Nv12ToBgrx(PlaneView luma, PlaneView chroma, int width, int height, YuvMatrix matrix, uint8_t* destination,
                ptrdiff_t destinationStride);
// YUY2: Y0 U Y1 V per two pixels.
void Yuy2ToBgrx(PlaneView packed, int width, int height, YuvMatrix matrix, uint8_t* destination,
                ptrdiff_t destinationStride);
// BGRX rows copied as they are (only the strides differ).
void CopyBgrxRows(PlaneView source, int width, int height, uint8_t* destination, ptrdiff_t destinationStride);
