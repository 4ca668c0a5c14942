#pragma once
// A whole frame file read into memory for inspection: unlike the program's reader it never ends
// the process, it explains what is wrong.
#include <cstdint>
#include <string>
#include <vector>

#include "framedata/FrameFileFormat.h"

class FrameFileImage {
 public:
  // Throws ToolError when the header or the index does not fit in the file.
  explicit FrameFileImage(std::vector<uint8_t> bytes);

  const FrameFileHeader& header() const { return header_; }
  const std::vector<FrameIndexEntry>& index() const { return index_; }
  // Bytes of the data area that the file really holds (at most dataSize).
  uint64_t dataAvailable() const { return dataAvailable_; }

  // Decodes frame `index` (bottom row first) into `out`; returns an empty string on success,
  // otherwise why the frame is bad. A frame must decode to exactly width x height bytes.
  std::string DecodeFrame(uint32_t index, std::vector<uint8_t>& out) const;

 private:
  std::vector<uint8_t> bytes_;
  FrameFileHeader header_{};
  std::vector<FrameIndexEntry> index_;
  uint64_t dataStart_ = 0;
  uint64_t dataAvailable_ = 0;
};

// Rows of a stored frame in picture order (top row first).
std::vector<uint8_t> TopDownRows(const std::vector<uint8_t>& frame, uint32_t width, uint32_t height);
