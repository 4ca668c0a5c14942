#pragma once
// Builds a packed frame file in memory: one zlib stream per frame, records in frame order.
#include <cstdint>
#include <vector>

#include "framedata/FrameFileFormat.h"

class FrameFileWriter {
 public:
  // RunLength: fast, and best for drawn frames (long runs of one grey). Smallest: also tries the
  // default deflate strategy at the given level and keeps the smaller record (noisy video).
  enum class Effort { RunLength, Smallest };

  FrameFileWriter(uint32_t width, uint32_t height, Effort effort = Effort::RunLength, int compressionLevel = 9);

  // A frame of width x height grey bytes with the top row first (as pictures and video come);
  // it is stored bottom row first.
  void AddTopDownFrame(const uint8_t* pixels);

  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  uint32_t frameCount() const { return static_cast<uint32_t>(index_.size()); }
  uint64_t dataSize() const { return data_.size(); }

  // Header, index and data area.
  std::vector<uint8_t> FileBytes() const;

 private:
  uint32_t width_;
  uint32_t height_;
  void Compress(int strategy, std::vector<uint8_t>& record) const;

  Effort effort_;
  int level_;
  std::vector<uint8_t> flipped_;
  std::vector<uint8_t> record_;
  std::vector<uint8_t> alternative_;
  std::vector<FrameIndexEntry> index_;
  std::vector<uint8_t> data_;
};
