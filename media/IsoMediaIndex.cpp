#include "media/IsoMediaIndex.h"

#include <cstring>

namespace {
// Files begin with one of these (QuickTime files of old may begin with any but ftyp).
bool IsFirstBoxType(const uint8_t* type) {
  for (const char* known : {"ftyp", "moov", "mdat", "free", "skip", "wide", "pnot"}) {
    if (std::memcmp(type, known, 4) == 0) return true;
  }
  return false;
}

uint64_t BigEndian(const uint8_t* bytes, int count) {
  uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

// A file of a great many tiny boxes is left to the reader rather than walked to its end.
constexpr int kMostBoxes = 100000;
}  // namespace

IsoMediaIndex FindIsoMediaIndex(uint64_t fileSize, const ReadAt& readAt) {
  uint64_t offset = 0;
  for (int box = 0; box < kMostBoxes; ++box) {
    uint8_t header[16];
    const size_t got = offset < fileSize ? readAt(offset, header, sizeof(header)) : 0;
    if (box == 0 && (got < 8 || !IsFirstBoxType(header + 4))) return IsoMediaIndex::Unknown;
    if (got < 8) return IsoMediaIndex::Missing;  // the file ends before (or inside) a box header
    const bool movie = std::memcmp(header + 4, "moov", 4) == 0;
    const uint64_t left = fileSize - offset;
    uint64_t size = BigEndian(header, 4);
    uint64_t headerSize = 8;
    if (size == 1) {
      if (got < 16) return IsoMediaIndex::Missing;
      size = BigEndian(header + 8, 8);
      headerSize = 16;
    } else if (size == 0) {
      size = left;  // the box runs to the end of the file
    }
    if (size < headerSize) return IsoMediaIndex::Missing;
    if (size > left) return IsoMediaIndex::Missing;  // cut off inside this box, before any movie box
    if (movie) return IsoMediaIndex::Present;
    offset += size;
  }
  return IsoMediaIndex::Unknown;
}
