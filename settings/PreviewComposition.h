#pragma once
// The settings dialog's preview picture, worked out without any operating system: where the
// sample frame goes for a magnification mode, and how each pixel of the staged picture (the
// sample stretched onto a white or black surface) is shown over a checkerboard that stands for
// whatever lies behind a see-through screen saver. ConfigPreviewWindow draws with it.
#include <cstdint>

#include "render/LayoutGeometry.h"

namespace preview_composition {

// Pixels are 0x00RRGGBB.
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kCheckerTone = 0xC89678;  // the squares that are not white

// A frame of the default animation's size; at magnification 0 the preview shows it at the size it
// would have on the real screen.
constexpr PixelSize kFrameSize{512, 384};

// The look settings the preview is composed with; the fifth, the magnification, places the
// picture (PictureRect).
struct Look {
  uint8_t foregroundAlpha = 0;  // percent
  uint8_t backgroundAlpha = 0;  // percent
  bool frameEnabled = false;
  bool confineBgFilterToShadowGraph = false;
};

// A percentage as a byte, integer division: 100 gives 255, 50 gives 127.
uint32_t OpacityByte(uint8_t percent);

// Per channel p * a / 255 + q * (255 - a) / 255, each quotient truncated; top byte 0.
uint32_t Blend(uint32_t a, uint32_t p, uint32_t q);

// 8 x 8 squares: white where bit 3 of (row XOR column) is set.
uint32_t CheckerColour(int32_t row, int32_t column);

// (red + 4 green + 2 blue) / 7, integer division.
uint32_t Luminance(uint32_t pixel);

// The laid-out picture in client coordinates (top row first), centred, for a client area, the
// primary screen and the sample's size; the magnification rule is the one the screen saver uses.
PixelRect PictureRect(PixelSize client, PixelSize screen, PixelSize sample, int32_t magType);

// Composes the preview. staged and out hold size.width x size.height pixels with rows bottom-up
// (the memory order of a bottom-up bitmap); picture is in client coordinates, top row first.
// Dark staged pixels show the silhouette (black at the silhouette opacity over the background),
// light ones the background (white at the background opacity over the checkerboard). With the
// see-through limit, pixels outside the picture are black with borders and bare checkerboard
// without.
void Compose(const uint32_t* staged, uint32_t* out, PixelSize size, PixelRect picture, const Look& look);

}  // namespace preview_composition
