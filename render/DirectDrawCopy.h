#pragma once
// The rules of copying a DirectDraw surface into a Direct3D texture that need no operating
// system: which pixel layouts can be taken over, and the row copy between two pitches.
#include <cstddef>
#include <cstdint>

// What a DirectDraw surface description says about its pixels, as plain numbers.
struct DirectDrawPixels {
  uint32_t descriptionFlags = 0;  // DDSD_*
  uint32_t formatFlags = 0;       // DDPF_*
  uint32_t fourCC = 0;
  uint32_t bitCount = 0;
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;
};

// The Direct3D formats a copy can land in.
enum class CopyFormat { Unsupported, X8R8G8B8, R8G8B8, R5G6B5 };

// A description with caps, width, height and pixel format, of RGB pixels that are neither
// palette indices nor a four-character code: 32 bits become X8R8G8B8, 24 bits R8G8B8, 16 bits of
// the 5-6-5 masks R5G6B5; everything else is Unsupported.
CopyFormat CopyFormatOf(const DirectDrawPixels& pixels);

// rows rows from the top, each as long as the shorter of the two pitches.
void CopyRows(const uint8_t* source, size_t sourcePitch, uint8_t* destination, size_t destinationPitch, size_t rows);
