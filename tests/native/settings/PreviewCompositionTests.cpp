#include "settings/PreviewComposition.h"
#include "tests/fixtures/SameRect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace preview_composition;

namespace {
// Expected values are worked out here from the rules as written, in floating point with floor,
// not with the code under test.
uint32_t Mix(double a, uint32_t p, uint32_t q) {
  uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const double pc = (p >> shift) & 0xFF, qc = (q >> shift) & 0xFF;
    out |= static_cast<uint32_t>(std::floor(pc * a / 255.0) + std::floor(qc * (255.0 - a) / 255.0)) << shift;
  }
  return out;
}

uint32_t ExpectedChecker(int row, int column) { return ((row ^ column) & 8) != 0 ? 0xFFFFFF : 0xC89678; }

// What a pixel of staged grey g shows at the given opacities (percent) over a checker colour.
uint32_t ExpectedPixel(uint32_t grey, int foregroundPercent, int backgroundPercent, uint32_t checker) {
  const double bA = std::floor(backgroundPercent * 255.0 / 100.0);
  const double fA = std::floor(foregroundPercent * 255.0 / 100.0);
  const uint32_t background = Mix(bA, 0xFFFFFF, checker);
  const uint32_t silhouette = Mix(fA, 0x000000, background);
  return Mix(255.0 - grey, silhouette, background);
}

// A staged picture as the window makes it: the surface white (no borders) or black (borders),
// the picture area filled with one grey. Rows bottom-up.
struct Staged {
  PixelSize size;
  std::vector<uint32_t> pixels;
  Staged(PixelSize s, PixelRect picture, uint32_t surface, uint32_t inside)
      : size(s), pixels(static_cast<std::size_t>(s.width) * s.height, surface) {
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) {
        const bool in =
            x >= picture.x && x < picture.x + picture.width && y >= picture.y && y < picture.y + picture.height;
        if (in) At(x, y) = inside;
      }
    }
  }
  // Screen coordinates (top row 0) to the bottom-up memory order.
  uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(size.height - 1 - y) * size.width + x]; }
};

std::vector<uint32_t> Composed(Staged& staged, PixelRect picture, Look look) {
  std::vector<uint32_t> out(staged.pixels.size(), 0xDEADBEEF);
  Compose(staged.pixels.data(), out.data(), staged.size, picture, look);
  return out;
}

uint32_t OutAt(const std::vector<uint32_t>& out, PixelSize size, int x, int y) {
  return out[static_cast<std::size_t>(size.height - 1 - y) * size.width + x];
}

int MemoryRow(PixelSize size, int y) { return size.height - 1 - y; }

const PixelSize kSample{128, 96};
const PixelSize kScreen{1280, 1024};
}  // namespace

TEST(PreviewPixels, OpacitiesBlendingAndTheCheckerFollowTheirRules) {
  EXPECT_EQ(OpacityByte(100), 255u);
  EXPECT_EQ(OpacityByte(50), 127u);
  EXPECT_EQ(OpacityByte(0), 0u);
  // 127 + 200 * 128 / 255 = 227, 127 + 150 * 128 / 255 = 202, 127 + 120 * 128 / 255 = 187.
  EXPECT_EQ(Blend(127, 0xFFFFFF, 0xC89678), 0xE3CABBu);
  EXPECT_EQ(Blend(255, 0x123456, 0xABCDEF), 0x123456u);
  EXPECT_EQ(Blend(0, 0x123456, 0xABCDEF), 0xABCDEFu);
  EXPECT_EQ(Luminance(0xFFFFFF), 255u);
  EXPECT_EQ(Luminance(0x0000FF), 72u);   // 2 * 255 / 7
  EXPECT_EQ(Luminance(0x00FF00), 145u);  // 4 * 255 / 7
  for (int row = 0; row < 32; ++row) {
    for (int column = 0; column < 32; ++column) EXPECT_EQ(CheckerColour(row, column), ExpectedChecker(row, column));
  }
  EXPECT_EQ(CheckerColour(0, 0), 0xC89678u);
  EXPECT_EQ(CheckerColour(0, 8), 0xFFFFFFu);
  EXPECT_EQ(CheckerColour(8, 8), 0xC89678u);
}

TEST(PreviewPixels, NoBackgroundAndFullSilhouetteShowBareCheckerAndSolidBlack) {
  const PixelSize size{40, 30};
  const PixelRect picture{0, 0, 40, 30};
  Staged staged(size, picture, 0xFFFFFF, 0xFFFFFF);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 20; ++x) staged.At(x, y) = 0;  // the left half is dark
  }
  const auto out = Composed(staged, picture, {100, 0, false, false});
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const uint32_t expected = x < 20 ? 0u : ExpectedChecker(MemoryRow(size, y), x);
      ASSERT_EQ(OutAt(out, size, x, y), expected) << x << "," << y;
    }
  }
}

TEST(PreviewPixels, FullBackgroundAndNoSilhouetteIsWhiteEverywhere) {
  const PixelSize size{24, 16};
  Staged staged(size, {4, 4, 8, 8}, 0x000000, 0x808080);
  staged.At(0, 0) = 0xFFFFFF;
  staged.At(5, 5) = 0x3366CC;
  for (uint32_t pixel : Composed(staged, {4, 4, 8, 8}, {0, 100, true, false})) ASSERT_EQ(pixel, 0xFFFFFFu);
}

TEST(PreviewPixels, GreysAndColoursAtHalfOpacities) {
  const PixelSize size{16, 16};
  const PixelRect picture{0, 0, 16, 16};
  Staged staged(size, picture, 0, 0x808080);
  staged.At(1, 2) = 0xC0C0C0;
  staged.At(9, 3) = 0x000000;
  staged.At(3, 12) = 0xFFFFFF;
  staged.At(12, 12) = 0x00FF00;  // lum 145
  const auto out = Composed(staged, picture, {50, 50, false, false});
  const auto expect = [&](int x, int y, uint32_t grey) {
    EXPECT_EQ(OutAt(out, size, x, y), ExpectedPixel(grey, 50, 50, ExpectedChecker(MemoryRow(size, y), x)))
        << x << "," << y;
  };
  expect(0, 0, 128);
  expect(8, 0, 128);
  expect(1, 2, 192);
  expect(9, 3, 0);
  expect(3, 12, 255);
  expect(12, 12, 145);
  // One value by hand: over a tone square at 50/50 the background is (227, 202, 187), the
  // silhouette 128/255 of it (113, 101, 93), and mid grey (lum 128) mixes 127/255 silhouette with
  // 128/255 background: (56 + 113, 50 + 101, 46 + 93).
  EXPECT_EQ(OutAt(out, size, 0, 15), 0xA9978Bu);
}

TEST(PreviewLayout, FitFillsA43PreviewAndLeavesStripsBesideAWiderOne) {
  EXPECT_TRUE(SameRect(PictureRect({160, 120}, kScreen, kSample, 2), {0, 0, 160, 120}));
  // 200 x 120: scale min(1.5625, 1.25) = 1.25, 160 x 120, 20 px strips each side.
  EXPECT_TRUE(SameRect(PictureRect({200, 120}, kScreen, kSample, 2), {20, 0, 160, 120}));
  EXPECT_TRUE(SameRect(PictureRect({200, 120}, kScreen, kSample, 5), {20, 0, 160, 120}))
      << "desktop fit as monitor fit";
  // Fill: scale max = 1.5625, 200 x 150 starting above the client: (120 - 150) / 2 + 0.5 = -14.5 -> -14.
  EXPECT_TRUE(SameRect(PictureRect({200, 120}, kScreen, kSample, 3), {0, -14, 200, 150}));
  EXPECT_TRUE(SameRect(PictureRect({200, 120}, kScreen, kSample, 4), {0, -14, 200, 150}));
}

TEST(PreviewLayout, StretchFillsExactlyAndActualSizeIsTheFrameAtScreenScale) {
  EXPECT_TRUE(SameRect(PictureRect({231, 185}, kScreen, kSample, 1), {0, 0, 231, 185}));
  // A preview 1/5 of the screen wide: 512 x 0.2 = 102.4 -> 102, 384 x 0.2 = 76.8 -> 77, centred.
  EXPECT_TRUE(SameRect(PictureRect({256, 205}, kScreen, kSample, 0), {77, 64, 102, 77}));
  // A value the dialog does not list keeps the sample's own size, centred.
  EXPECT_TRUE(SameRect(PictureRect({256, 205}, kScreen, kSample, 9), {64, 55, 128, 96}));
  // No screen width: nothing to scale by, the frame keeps its size instead of dividing by zero.
  EXPECT_TRUE(SameRect(PictureRect({256, 205}, {0, 0}, kSample, 0), {-127, -89, 512, 384}));
}

TEST(PreviewPixels, StripsBesideTheFitPictureFollowBordersAndTheSeeThroughLimit) {
  const PixelSize size{200, 120};
  const PixelRect picture = PictureRect(size, kScreen, kSample, 2);  // 20 px strips
  ASSERT_TRUE(SameRect(picture, {20, 0, 160, 120}));
  const auto strip = [&](const std::vector<uint32_t>& out, int x, int y) { return OutAt(out, size, x, y); };

  // Borders off: the surface is white, so the strips show the background.
  Staged white(size, picture, 0xFFFFFF, 0x000000);
  const auto off = Composed(white, picture, {80, 30, false, false});
  for (int x : {0, 19, 180, 199}) {
    EXPECT_EQ(strip(off, x, 7), ExpectedPixel(255, 80, 30, ExpectedChecker(MemoryRow(size, 7), x))) << x;
  }
  EXPECT_EQ(strip(off, 100, 7), ExpectedPixel(0, 80, 30, ExpectedChecker(MemoryRow(size, 7), 100)));

  // Borders on: the surface stays black, so the strips show the silhouette.
  Staged black(size, picture, 0x000000, 0xFFFFFF);
  const auto on = Composed(black, picture, {80, 30, true, false});
  for (int x : {0, 19, 180, 199}) {
    EXPECT_EQ(strip(on, x, 7), ExpectedPixel(0, 80, 30, ExpectedChecker(MemoryRow(size, 7), x))) << x;
  }

  // See-through limit: solid black with borders, bare checker without, whatever the opacities.
  for (const Look look : {Look{80, 30, true, true}, Look{0, 100, true, true}}) {
    const auto confined = Composed(black, picture, look);
    for (int y : {0, 50, 119}) {
      for (int x : {0, 19, 180, 199}) EXPECT_EQ(strip(confined, x, y), 0u) << x << "," << y;
    }
    EXPECT_EQ(strip(confined, 100, 50), ExpectedPixel(255, look.foregroundAlpha, look.backgroundAlpha,
                                                      ExpectedChecker(MemoryRow(size, 50), 100)));
  }
  for (const Look look : {Look{80, 30, false, true}, Look{100, 100, false, true}}) {
    const auto confined = Composed(white, picture, look);
    for (int y : {0, 50, 119}) {
      for (int x : {0, 19, 180, 199}) EXPECT_EQ(strip(confined, x, y), ExpectedChecker(MemoryRow(size, y), x));
    }
  }
}

TEST(PreviewPixels, TheSeeThroughLimitCoversExactlyTheRowsThePictureWasDrawnIn) {
  // An odd gap (5 rows) puts the picture at row 3 from the top: rows 3 to 7 of 10. Stored
  // bottom-up, those are memory rows 2 to 6; the limit must follow the picture, not the memory rows.
  const PixelSize size{16, 10};
  const PixelRect picture{0, 3, 16, 5};
  Staged staged(size, picture, 0xFFFFFF, 0xFFFFFF);
  const auto out = Composed(staged, picture, {0, 100, false, true});
  for (int y = 0; y < 10; ++y) {
    const bool inside = y >= 3 && y < 8;
    for (int x = 0; x < 16; ++x) {
      const uint32_t expected = inside ? 0xFFFFFFu : ExpectedChecker(MemoryRow(size, y), x);
      ASSERT_EQ(OutAt(out, size, x, y), expected) << x << "," << y;
    }
  }
}
