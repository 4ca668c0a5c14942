#pragma once
// On-disk layout of the packed frame file: a 16-byte header, frameCount index entries of 8 bytes,
// then the data area of compressed records. All integers are unsigned 32-bit little-endian, with
// no padding, no magic number and no version; every machine this program runs on is
// little-endian, so the structures are read and written as they lie in memory.
#include <cstddef>
#include <cstdint>

struct FrameFileHeader {
  uint32_t width;       // of every frame, in pixels
  uint32_t height;      // of every frame, in pixels
  uint32_t frameCount;  // number of frames and of index entries
  uint32_t dataSize;    // byte size of the data area
};

struct FrameIndexEntry {
  uint32_t offset;  // start of the record, counted from the start of the data area
  uint32_t size;    // byte length of the record
};

static_assert(sizeof(FrameFileHeader) == 16, "the header is 16 bytes on disk");
static_assert(sizeof(FrameIndexEntry) == 8, "an index entry is 8 bytes on disk");

// File offset of the data area of a file with frameCount frames.
inline uint64_t FrameDataStart(uint32_t frameCount) {
  return sizeof(FrameFileHeader) + uint64_t{sizeof(FrameIndexEntry)} * frameCount;
}

// No Direct3D 9 device offers a texture wider or taller than this, so a frame beyond it can never
// be shown; a header claiming more is treated as damaged rather than attempted as an allocation.
constexpr uint32_t kLargestFrameSide = 16384;
