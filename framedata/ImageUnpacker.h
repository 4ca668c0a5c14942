#pragma once
// Reader of the packed frame file (um.bin): opens it in one of two modes and decodes any frame by
// number. Memory-resident mode loads the whole data area at Open; on-demand mode (memoryCompact)
// keeps only the index and one compressed record, and reads each record when it is asked for.
// Not thread-safe: after Open, one thread at a time calls Unpack.
#include <cstdint>
#include <string>
#include <vector>

#include "framedata/FrameFileFormat.h"
#include "framedata/FrameFileReader.h"

class ImageUnpacker {
 public:
  ImageUnpacker() = default;
  virtual ~ImageUnpacker() = default;
  ImageUnpacker(const ImageUnpacker&) = delete;
  ImageUnpacker& operator=(const ImageUnpacker&) = delete;

  // Starts afresh every time. Returns false, with no file left open, for a missing or unreadable
  // file, a short header, an index or (memory-resident) a data area that the file cannot hold,
  // and for frame sides no device could show.
  bool Open(const std::wstring& path, bool memoryCompact);

  // Frame `index` as width x height grey bytes, bottom row first. `out` is resized, and reused
  // without a copy. Any failure (index out of range, a record outside the data or the file, a
  // corrupt record, one that decodes to more than a frame) ends the process.
  void Unpack(uint32_t index, std::vector<uint8_t>& out);

  const FrameFileHeader& header() const { return header_; }
  uint32_t width() const { return header_.width; }
  uint32_t height() const { return header_.height; }
  uint32_t frameCount() const { return header_.frameCount; }
  bool memoryCompact() const { return memoryCompact_; }

 private:
  struct Record {
    const uint8_t* bytes;
    size_t size;
  };

  bool Fail();
  Record FetchRecord(uint32_t index);
  Record FetchFromFile(const FrameIndexEntry& entry);
  Record FetchFromMemory(const FrameIndexEntry& entry) const;

  FrameFileReader file_;
  uint64_t dataStart_ = 0;  // on-demand mode only
  uint64_t fileSize_ = 0;   // on-demand mode only: records must lie inside it
  bool memoryCompact_ = false;
  FrameFileHeader header_{};
  std::vector<FrameIndexEntry> index_;
  std::vector<uint8_t> bytes_;  // the data area, or the one record last read
};
