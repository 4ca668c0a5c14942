#include "settings/PreviewComposition.h"

#include <cstddef>

namespace preview_composition {

namespace {
uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

bool Inside(int32_t value, int32_t start, int32_t length) {
  return value >= start && static_cast<int64_t>(value) < static_cast<int64_t>(start) + length;
}
}  // namespace

uint32_t OpacityByte(uint8_t percent) { return percent * 255u / 100u; }

uint32_t Blend(uint32_t a, uint32_t p, uint32_t q) {
  uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t value = Channel(p, shift) * a / 255 + Channel(q, shift) * (255 - a) / 255;
    result |= value << shift;
  }
  return result;
}

uint32_t CheckerColour(int32_t row, int32_t column) { return ((row ^ column) & 8) ? kWhite : kCheckerTone; }

uint32_t Luminance(uint32_t pixel) { return (Channel(pixel, 16) + 4 * Channel(pixel, 8) + 2 * Channel(pixel, 0)) / 7; }

PixelRect PictureRect(PixelSize client, PixelSize screen, PixelSize sample, int32_t magType) {
  // Magnification 0 shows the frame at its real size, scaled as the screen is in the preview.
  const PixelSize source =
      magType == MagType::ActualSize ? PreviewScale(kFrameSize, client.width, screen.width) : sample;
  const PixelSize picture = Magnify(client, source, magType);
  const PixelPoint at = Centre(client, picture, {0, 0});
  return {at.x, at.y, picture.width, picture.height};
}

void Compose(const uint32_t* staged, uint32_t* out, PixelSize size, PixelRect picture, const Look& look) {
  const uint32_t backgroundAlpha = OpacityByte(look.backgroundAlpha);
  const uint32_t foregroundAlpha = OpacityByte(look.foregroundAlpha);
  for (int32_t i = 0; i < size.height; ++i) {
    // Rows are stored bottom-up while the picture was placed top-down: compare in screen rows, so
    // the confined area is exactly where the sample was drawn.
    const int32_t screenRow = size.height - 1 - i;
    const bool rowInside = Inside(screenRow, picture.y, picture.height);
    for (int32_t j = 0; j < size.width; ++j) {
      const std::size_t at = static_cast<std::size_t>(i) * size.width + j;
      const uint32_t checker = CheckerColour(i, j);
      if (look.confineBgFilterToShadowGraph && !(rowInside && Inside(j, picture.x, picture.width))) {
        out[at] = look.frameEnabled ? kBlack : checker;
        continue;
      }
      const uint32_t lum = Luminance(staged[at]);
      const uint32_t background = Blend(backgroundAlpha, kWhite, checker);
      const uint32_t silhouette = Blend(foregroundAlpha, kBlack, background);
      out[at] = Blend(255 - lum, silhouette, background);
    }
  }
}

}  // namespace preview_composition
