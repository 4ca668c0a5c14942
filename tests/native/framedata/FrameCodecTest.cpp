// Decoding records into frames, and the two pixel conversions.
#include <gtest/gtest.h>

#include "framedata/ImageUnpacker.h"
#include "framedata/SilhouetteConversion.h"
#include "tests/fixtures/FrameFileFixture.h"

namespace {
class FrameCodecTest : public ::testing::Test {
 protected:
  // A 6 x 4 file whose single frame is `record`.
  ImageUnpacker& OpenWith(const Bytes& record) {
    FrameFileLayout layout;
    layout.header.width = 6;
    layout.header.height = 4;
    layout.AddRecord(record);
    EXPECT_TRUE(unpacker_.Open(WidePath(folder_.Write("um.bin", layout.FileBytes())), false));
    return unpacker_;
  }

  TempFolder folder_;
  FatalThrows fatalThrows_;
  ImageUnpacker unpacker_;
  Bytes out_;
};

TEST_F(FrameCodecTest, RecordOfExactlyOneFrameDecodesAndOneByteMoreIsFatal) {
  OpenWith(ZlibRecord(PatternFrame(6, 4, 1))).Unpack(0, out_);
  EXPECT_EQ(out_, PatternFrame(6, 4, 1));

  Bytes tooLong = PatternFrame(6, 4, 1);
  tooLong.push_back(9);
  EXPECT_THROW(OpenWith(ZlibRecord(tooLong)).Unpack(0, out_), FatalCalled);
}

TEST_F(FrameCodecTest, OnlyTheZlibWrapperIsAccepted) {
  EXPECT_THROW(OpenWith(GzipRecord(PatternFrame(6, 4, 0))).Unpack(0, out_), FatalCalled);
  EXPECT_THROW(OpenWith(RawDeflateRecord(PatternFrame(6, 4, 0))).Unpack(0, out_), FatalCalled);
}

TEST_F(FrameCodecTest, TruncatedOrCorruptRecordsAreFatal) {
  Bytes truncated = ZlibRecord(PatternFrame(6, 4, 2));
  truncated.resize(truncated.size() - 5);
  EXPECT_THROW(OpenWith(truncated).Unpack(0, out_), FatalCalled);

  Bytes corrupt = ZlibRecord(PatternFrame(6, 4, 2));
  corrupt[corrupt.size() - 1] ^= 0xFF;  // the Adler-32 check
  EXPECT_THROW(OpenWith(corrupt).Unpack(0, out_), FatalCalled);
  EXPECT_THROW(OpenWith({}).Unpack(0, out_), FatalCalled);
}

TEST_F(FrameCodecTest, RecordThatEndsEarlyKeepsTheBufferTail) {
  // The reused buffer keeps the previous frame's bytes beyond a short record.
  out_ = Bytes(24, 0xAB);
  OpenWith(ZlibRecord(Bytes(10, 0x11))).Unpack(0, out_);
  Bytes expected(24, 0xAB);
  std::fill(expected.begin(), expected.begin() + 10, 0x11);
  EXPECT_EQ(out_, expected);
}

TEST(OpacityByte, PercentBecomesByteWithTruncation) {
  EXPECT_EQ(OpacityByteFromPercent(100), 255);
  EXPECT_EQ(OpacityByteFromPercent(50), 127);
  EXPECT_EQ(OpacityByteFromPercent(1), 2);
  EXPECT_EQ(OpacityByteFromPercent(0), 0);
}

TEST(SilhouetteTexels, AlphaIsExactForEveryGreyAndOpacity) {
  Bytes row(256);
  for (int v = 0; v < 256; ++v) row[v] = static_cast<uint8_t>(v);
  std::vector<uint32_t> texels(256);
  for (int a = 0; a < 256; ++a) {
    WriteSilhouetteTexels(row.data(), 256, 1, static_cast<uint8_t>(a), texels.data(), 256 * 4);
    for (int v = 0; v < 256; ++v) {
      ASSERT_EQ(texels[v], static_cast<uint32_t>((255 - v) * a / 255) << 24) << "grey " << v << " opacity " << a;
    }
  }
  WriteSilhouetteTexels(row.data(), 256, 1, 255, texels.data(), 256 * 4);
  EXPECT_EQ(texels[128], 127u << 24);
  EXPECT_EQ(texels[0], 0xFF000000u);
  EXPECT_EQ(texels[255], 0u);
}

TEST(SilhouetteTexels, RowsFlipPixelsKeepOrderAndTheRestOfTheSurfaceIsUntouched) {
  // 19 wide (a block of 16 and a tail), 3 high, into a 24 x 5 surface.
  const uint32_t width = 19, height = 3, pitchTexels = 24, surfaceRows = 5;
  Bytes frame(width * height);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) frame[y * width + x] = static_cast<uint8_t>(y * 100 + x);
  std::vector<uint32_t> surface(pitchTexels * surfaceRows, 0x12345678u);
  WriteSilhouetteTexels(frame.data(), width, height, 255, surface.data(), pitchTexels * 4);
  for (uint32_t y = 0; y < surfaceRows; ++y) {
    for (uint32_t x = 0; x < pitchTexels; ++x) {
      const uint32_t texel = surface[y * pitchTexels + x];
      if (y < height && x < width) {
        const uint32_t grey = (height - 1 - y) * 100 + x;  // bottom row of the frame first
        EXPECT_EQ(texel, (255 - grey) << 24) << x << "," << y;
      } else {
        EXPECT_EQ(texel, 0x12345678u) << x << "," << y;
      }
    }
  }
}

TEST(SilhouetteTexels, OpacityZeroIsTransparentAndSingleRowKeepsPixelOrder) {
  const Bytes row = {0, 10, 200, 255};
  std::vector<uint32_t> texels(4, 7);
  WriteSilhouetteTexels(row.data(), 4, 1, 0, texels.data(), 16);
  EXPECT_EQ(texels, std::vector<uint32_t>(4, 0));
  WriteSilhouetteTexels(row.data(), 4, 1, OpacityByteFromPercent(50), texels.data(), 16);
  EXPECT_EQ(texels, (std::vector<uint32_t>{127u << 24, 122u << 24, 27u << 24, 0}));
}

TEST(Mask, InvertsGreyInStoredOrder) {
  Bytes frame(37);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7);
  Bytes mask(3, 1);
  WriteMask(frame.data(), 37, 1, mask);
  ASSERT_EQ(mask.size(), 37u);
  for (size_t i = 0; i < frame.size(); ++i) EXPECT_EQ(mask[i], 255 - frame[i]);
}
}  // namespace

namespace {
TEST(SilhouetteTexelsAndMask, OnePassGivesWhatTheTwoConversionsGive) {
  const uint32_t width = 35, height = 4, pitchTexels = 40;
  const Bytes frame = PatternFrame(width, height, 3);
  std::vector<uint32_t> separate(pitchTexels * 6, 0xDEADBEEFu), fused(separate);
  Bytes separateMask, fusedMask(1, 0);
  WriteSilhouetteTexels(frame.data(), width, height, 170, separate.data(), pitchTexels * 4);
  WriteMask(frame.data(), width, height, separateMask);
  WriteSilhouetteTexelsAndMask(frame.data(), width, height, 170, fused.data(), pitchTexels * 4, fusedMask);
  EXPECT_EQ(fused, separate);
  EXPECT_EQ(fusedMask, separateMask);
}
}  // namespace
