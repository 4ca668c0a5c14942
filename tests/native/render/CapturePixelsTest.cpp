#include "render/CapturePixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Converted {
  CaptureConversion result;
  std::vector<uint32_t> texels;  // destination rows of `pitchTexels`, pre-filled with a marker
};

constexpr uint32_t kUntouched = 0xDEADBEEF;

Converted Convert(const std::vector<uint8_t>& pixels, int32_t width, int32_t height, int32_t bytesPerPixel,
                  uint32_t r = 0, uint32_t g = 0, uint32_t b = 0, size_t pitchTexels = 4) {
  CapturePicture picture;
  picture.pixels = pixels.data();
  picture.byteCount = pixels.size();
  picture.width = width;
  picture.height = height;
  picture.bytesPerPixel = bytesPerPixel;
  picture.stride = static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel);
  picture.redMask = r;
  picture.greenMask = g;
  picture.blueMask = b;
  Converted out{CaptureConversion::Converted,
                std::vector<uint32_t>(pitchTexels * static_cast<size_t>(height), kUntouched)};
  out.result = ConvertCapture(picture, reinterpret_cast<uint8_t*>(out.texels.data()), pitchTexels * 4);
  return out;
}

TEST(ConvertCapture, FourBytesAreCopiedRowByRowIntoThePitch) {
  const std::vector<uint8_t> pixels{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const Converted c = Convert(pixels, 2, 2, 4);
  ASSERT_EQ(c.result, CaptureConversion::Converted);
  EXPECT_EQ(c.texels[0], 0x04030201u);
  EXPECT_EQ(c.texels[1], 0x08070605u);
  EXPECT_EQ(c.texels[2], kUntouched);   // beyond the content width
  EXPECT_EQ(c.texels[4], 0x0C0B0A09u);  // the second row starts at the pitch, order kept
}

TEST(ConvertCapture, ThreeBytesAreBlueGreenRed) {
  // Width 3 makes a 9-byte row: the record's rows are exactly that long, with no padding.
  const std::vector<uint8_t> pixels{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99,
                                    0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x01, 0x02, 0x03};
  const Converted c = Convert(pixels, 3, 2, 3);
  ASSERT_EQ(c.result, CaptureConversion::Converted);
  EXPECT_EQ(c.texels[0], 0x00332211u);
  EXPECT_EQ(c.texels[2], 0x00998877u);
  EXPECT_EQ(c.texels[4], 0x00CCBBAAu);
  EXPECT_EQ(c.texels[6], 0x00030201u);
}

std::vector<uint8_t> Words16(std::initializer_list<uint16_t> values) {
  std::vector<uint8_t> bytes;
  for (uint16_t v : values) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  }
  return bytes;
}

TEST(ConvertCapture, FiveFiveFiveScalesEachChannelTo255) {
  // white, pure red, green 1 of 31, blue 16 of 31
  const Converted c = Convert(Words16({0x7FFF, 0x7C00, 0x0020, 0x0010}), 4, 1, 2, 0x7C00, 0x03E0, 0x001F);
  ASSERT_EQ(c.result, CaptureConversion::Converted);
  EXPECT_EQ(c.texels[0], 0xFFFFFFFFu);
  EXPECT_EQ(c.texels[1], 0xFFFF0000u);
  EXPECT_EQ(c.texels[2], 0xFF000000u | (1 * 255 / 31) << 8);
  EXPECT_EQ(c.texels[3], 0xFF000000u | (16 * 255 / 31));
}

TEST(ConvertCapture, FiveSixFiveGivesGreenSixtyFourSteps) {
  const Converted c = Convert(Words16({0xFFFF, 0x07E0, 0x0020, 0xF800}), 4, 1, 2, 0xF800, 0x07E0, 0x001F);
  ASSERT_EQ(c.result, CaptureConversion::Converted);
  EXPECT_EQ(c.texels[0], 0xFFFFFFFFu);
  EXPECT_EQ(c.texels[1], 0xFF00FF00u);
  EXPECT_EQ(c.texels[2], 0xFF000000u | (1 * 255 / 63) << 8);  // 4, where 5-5-5 would give 8
  EXPECT_EQ(c.texels[3], 0xFFFF0000u);
}

TEST(ConvertCapture, OtherSixteenBitLayoutsAreRefused) {
  EXPECT_EQ(Convert(Words16({0x1234}), 1, 1, 2, 0x0F00, 0x00F0, 0x000F).result, CaptureConversion::Refused);
  EXPECT_EQ(Convert(Words16({0x1234}), 1, 1, 2, 0x001F, 0x07E0, 0xF800).result, CaptureConversion::Refused);
  EXPECT_EQ(Convert(Words16({0x1234}), 1, 1, 2).result, CaptureConversion::Refused);
}

TEST(ConvertCapture, OtherPixelSizesConvertNothing) {
  const Converted c = Convert({1, 2, 3, 4}, 4, 1, 1);
  EXPECT_EQ(c.result, CaptureConversion::NotConverted);
  EXPECT_EQ(c.texels[0], kUntouched);
}

TEST(ConvertCapture, AShortBufferIsRefusedInsteadOfReadPast) {
  const std::vector<uint8_t> pixels(2 * 2 * 4 - 1);
  EXPECT_EQ(Convert(pixels, 2, 2, 4).result, CaptureConversion::SourceTooSmall);
  EXPECT_EQ(Convert(std::vector<uint8_t>(5), 1, 2, 3).result, CaptureConversion::SourceTooSmall);
}
}  // namespace

namespace {
TEST(CopyRows, DropsTheBitmapsRowPaddingSoOddWidthsAreNotSheared) {
  // 3 pixels of 3 bytes: 9 bytes a row, padded to 12 in the bitmap.
  const std::vector<uint8_t> padded{1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                                    10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
  ASSERT_EQ(BitmapStride(3, 24), 12u);
  std::vector<uint8_t> packed(18);
  CopyRows(padded.data(), 12, packed.data(), 9, 9, 2);
  EXPECT_EQ(packed, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
  const Converted c = Convert(packed, 3, 2, 3);
  EXPECT_EQ(c.texels[4], 0x000C0B0Au);  // the second row starts with its own first pixel

  // And back into a bitmap's rows for painting: each row at its own padded place.
  std::vector<uint8_t> repadded(24, 0xEE);
  CopyRows(packed.data(), 9, repadded.data(), 12, 9, 2);
  EXPECT_EQ(repadded, padded);
  EXPECT_EQ(BitmapStride(5, 16), 12u);
  EXPECT_EQ(BitmapStride(7, 32), 28u);
}
}  // namespace
