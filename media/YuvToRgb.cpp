#include "media/YuvToRgb.h"

#include <algorithm>
#include <cstring>

namespace {
// Fixed-point coefficients scaled by 2^16 (video range: luma 16-235, chroma 16-240).
struct Coefficients {
  int32_t y, rv, gu, gv, bu;
};
constexpr Coefficients kBt601{76309, 104597, -25675, -53279, 132201};
constexpr Coefficients kBt709{76309, 117489, -13975, -34925, 138438};

const Coefficients& CoefficientsOf(YuvMatrix matrix) { return matrix == YuvMatrix::Bt709 ? kBt709 : kBt601; }

inline uint8_t Clamp(int32_t scaled) { return static_cast<uint8_t>(std::clamp(scaled >> 16, 0, 255)); }

inline void WritePixel(const Coefficients& c, int y, int u, int v, uint8_t* out) {
  const int32_t luma = (y - 16) * c.y + (1 << 15);
  const int32_t du = u - 128, dv = v - 128;
  out[0] = Clamp(luma + c.bu * du);
  out[1] = Clamp(luma + c.gu * du + c.gv * dv);
  out[2] = Clamp(luma + c.rv * dv);
  out[3] = 0xFF;
}
}  // namespace

void Nv12ToBgrx(PlaneView luma, PlaneView chroma, int width, int height, YuvMatrix matrix, uint8_t* destination,
                ptrdiff_t destinationStride) {
  const Coefficients& c = CoefficientsOf(matrix);
  for (int row = 0; row < height; ++row) {
    const uint8_t* y = luma.data + row * luma.stride;
    const uint8_t* uv = chroma.data + (row / 2) * chroma.stride;
    uint8_t* out = destination + row * destinationStride;
    for (int x = 0; x < width; ++x) WritePixel(c, y[x], uv[x & ~1], uv[(x & ~1) + 1], out + 4 * x);
  }
}

void Yuy2ToBgrx(PlaneView packed, int width, int height, YuvMatrix matrix, uint8_t* destination,
                ptrdiff_t destinationStride) {
  const Coefficients& c = CoefficientsOf(matrix);
  for (int row = 0; row < height; ++row) {
    const uint8_t* in = packed.data + row * packed.stride;
    uint8_t* out = destination + row * destinationStride;
    for (int x = 0; x < width; ++x) {
      const uint8_t* pair = in + 4 * (x / 2);
      WritePixel(c, pair[(x & 1) * 2], pair[1], pair[3], out + 4 * x);
    }
  }
}

void CopyBgrxRows(PlaneView source, int width, int height, uint8_t* destination, ptrdiff_t destinationStride) {
  for (int row = 0; row < height; ++row) {
    std::memcpy(destination + row * destinationStride, source.data + row * source.stride,
                static_cast<size_t>(width) * 4);
  }
}
