#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "media/YuvToRgb.h"

namespace {

struct Bgrx {
  int b, g, r;
};

void ExpectNear(const uint8_t* pixel, Bgrx expected, const char* what) {
  EXPECT_NEAR(pixel[0], expected.b, 1) << what << " blue";
  EXPECT_NEAR(pixel[1], expected.g, 1) << what << " green";
  EXPECT_NEAR(pixel[2], expected.r, 1) << what << " red";
  EXPECT_EQ(pixel[3], 0xFF) << what << " padding";
}

// Reference values: the full-precision video-range formulas, rounded.
TEST(YuvToRgb, VideoRangeColoursComeOutForBothMatricesAndClampAtTheEnds) {
  struct Case {
    uint8_t y, u, v;
    YuvMatrix matrix;
    Bgrx expected;
    const char* what;
  };
  const Case cases[] = {
      {16, 128, 128, YuvMatrix::Bt601, {0, 0, 0}, "black"},
      {235, 128, 128, YuvMatrix::Bt601, {255, 255, 255}, "white"},
      {81, 90, 240, YuvMatrix::Bt601, {0, 0, 255}, "601 red"},
      {63, 102, 240, YuvMatrix::Bt709, {0, 0, 255}, "709 red"},
      {0, 0, 0, YuvMatrix::Bt601, {0, 135, 0}, "below range clamps, green stays"},
      {255, 255, 255, YuvMatrix::Bt601, {255, 125, 255}, "above range clamps"},
  };
  for (const Case& c : cases) {
    // Two pixels, one row, in each layout.
    const std::array<uint8_t, 2> luma{c.y, c.y};
    const std::array<uint8_t, 2> chroma{c.u, c.v};
    std::array<uint8_t, 8> out{};
    Nv12ToBgrx({luma.data(), 2}, {chroma.data(), 2}, 2, 1, c.matrix, out.data(), 8);
    ExpectNear(out.data(), c.expected, c.what);
    ExpectNear(out.data() + 4, c.expected, c.what);
    const std::array<uint8_t, 4> packed{c.y, c.u, c.y, c.v};
    out.fill(0);
    Yuy2ToBgrx({packed.data(), 4}, 2, 1, c.matrix, out.data(), 8);
    ExpectNear(out.data() + 4, c.expected, c.what);
  }
}

// Each output pixel takes the chroma of its own 2x2 block, rows may be padded, and a negative
// destination stride writes the picture bottom-up: the layout errors that show as stripes or a
// flipped picture.
TEST(YuvToRgb, ChromaBlocksPaddedRowsAndBottomUpDestinationLandWhereTheyBelong) {
  const int width = 3, height = 3, pitch = 8;  // odd sides, padded rows
  std::vector<uint8_t> frame(pitch * height + pitch * 2, 0xEE);
  for (int row = 0; row < height; ++row)
    for (int x = 0; x < width; ++x) frame[row * pitch + x] = 126;  // mid grey where chroma is neutral
  uint8_t* chroma = frame.data() + pitch * height;
  // Block (0,0) neutral; block (1,0) blue-ish; block (0,1) red-ish; block (1,1) neutral.
  const uint8_t blocks[2][4] = {{128, 128, 240, 128}, {128, 240, 128, 128}};
  for (int row = 0; row < 2; ++row)
    for (int i = 0; i < 4; ++i) chroma[row * pitch + i] = blocks[row][i];

  const int stride = width * 4;
  std::vector<uint8_t> out(stride * height, 0);
  Nv12ToBgrx({frame.data(), pitch}, {chroma, pitch}, width, height, YuvMatrix::Bt601,
             out.data() + (height - 1) * stride, -stride);
  const auto at = [&](int x, int y) { return out.data() + (height - 1 - y) * stride + 4 * x; };
  EXPECT_EQ(at(0, 0)[0], at(0, 0)[2]) << "neutral block stays grey";
  EXPECT_GT(at(2, 0)[0], 200) << "the odd last column takes block (1,0): blue";
  EXPECT_GT(at(0, 2)[2], 200) << "the odd last row takes block (0,1): red";
  EXPECT_EQ(at(1, 1)[0], at(1, 1)[2]) << "pixel (1,1) belongs to the neutral block (0,0)";

  std::vector<uint8_t> copy(stride * height, 0);
  CopyBgrxRows({out.data() + (height - 1) * stride, -stride}, width, height, copy.data(), stride);
  EXPECT_EQ(0, std::memcmp(copy.data() + 2 * 4, at(2, 0), 4)) << "copying back top-down restores the row order";
}

}  // namespace
