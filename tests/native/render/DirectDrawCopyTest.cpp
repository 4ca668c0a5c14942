#include "render/DirectDrawCopy.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
constexpr uint32_t kDescribed = 0x1007;  // caps, height, width, pixel format
constexpr uint32_t kRgb = 0x40;

DirectDrawPixels Rgb(uint32_t bits, uint32_t r = 0, uint32_t g = 0, uint32_t b = 0) {
  DirectDrawPixels p;
  p.descriptionFlags = kDescribed;
  p.formatFlags = kRgb;
  p.bitCount = bits;
  p.redMask = r;
  p.greenMask = g;
  p.blueMask = b;
  return p;
}

TEST(CopyFormatOf, ThirtyTwoTwentyFourAndFiveSixFiveBitsAreTakenOver) {
  EXPECT_EQ(CopyFormatOf(Rgb(32, 0xFF0000, 0xFF00, 0xFF)), CopyFormat::X8R8G8B8);
  EXPECT_EQ(CopyFormatOf(Rgb(24, 0xFF0000, 0xFF00, 0xFF)), CopyFormat::R8G8B8);
  EXPECT_EQ(CopyFormatOf(Rgb(16, 0xF800, 0x07E0, 0x001F)), CopyFormat::R5G6B5);
  DirectDrawPixels withAlpha = Rgb(32, 0xFF0000, 0xFF00, 0xFF);
  withAlpha.formatFlags |= 0x01;  // alpha pixels: the alpha is dropped, the colour taken
  EXPECT_EQ(CopyFormatOf(withAlpha), CopyFormat::X8R8G8B8);
}

TEST(CopyFormatOf, OtherLayoutsAndIncompleteDescriptionsAreRefused) {
  EXPECT_EQ(CopyFormatOf(Rgb(16, 0x7C00, 0x03E0, 0x001F)), CopyFormat::Unsupported) << "5-5-5";
  EXPECT_EQ(CopyFormatOf(Rgb(8)), CopyFormat::Unsupported);
  for (uint32_t palette : {0x08u, 0x20u}) {
    DirectDrawPixels indexed = Rgb(32, 0xFF0000, 0xFF00, 0xFF);
    indexed.formatFlags |= palette;
    EXPECT_EQ(CopyFormatOf(indexed), CopyFormat::Unsupported) << "palette flag " << palette;
  }
  DirectDrawPixels fourCC = Rgb(32, 0xFF0000, 0xFF00, 0xFF);
  fourCC.formatFlags |= 0x04;
  fourCC.fourCC = 0x32595559;  // YUY2
  EXPECT_EQ(CopyFormatOf(fourCC), CopyFormat::Unsupported);
  fourCC.fourCC = 0;  // the flag without a code says nothing
  EXPECT_EQ(CopyFormatOf(fourCC), CopyFormat::X8R8G8B8);
  DirectDrawPixels notRgb = Rgb(32, 0xFF0000, 0xFF00, 0xFF);
  notRgb.formatFlags = 0;
  EXPECT_EQ(CopyFormatOf(notRgb), CopyFormat::Unsupported);
  for (uint32_t missing : {0x1u, 0x2u, 0x4u, 0x1000u}) {
    DirectDrawPixels partial = Rgb(32, 0xFF0000, 0xFF00, 0xFF);
    partial.descriptionFlags &= ~missing;
    EXPECT_EQ(CopyFormatOf(partial), CopyFormat::Unsupported) << "without description flag " << missing;
  }
}

TEST(CopyRows, EachRowIsAsLongAsTheShorterPitchAndRowsBeyondAreLeftAlone) {
  // A narrow destination: 3 rows of 4 bytes taken from rows of 6 bytes.
  const std::vector<uint8_t> source{1, 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16, 21, 22, 23, 24, 25, 26};
  std::vector<uint8_t> narrow(4 * 4, 0xEE);
  CopyRows(source.data(), 6, narrow.data(), 4, 3);
  EXPECT_EQ(narrow, (std::vector<uint8_t>{1, 2, 3, 4, 11, 12, 13, 14, 21, 22, 23, 24, 0xEE, 0xEE, 0xEE, 0xEE}));
  // A wide destination: each row keeps its padding.
  std::vector<uint8_t> wide(8 * 2, 0xEE);
  CopyRows(source.data(), 6, wide.data(), 8, 2);
  EXPECT_EQ(wide, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 11, 12, 13, 14, 15, 16, 0xEE, 0xEE}));
}
}  // namespace
