#include "tools/framepack/FrameFileImage.h"

#include <algorithm>
#include <cstring>

#include "framedata/FrameInflate.h"
#include "tools/framepack/ToolError.h"

FrameFileImage::FrameFileImage(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
  if (bytes_.size() < sizeof header_) throw ToolError("file shorter than the 16-byte header");
  std::memcpy(&header_, bytes_.data(), sizeof header_);
  dataStart_ = FrameDataStart(header_.frameCount);
  if (dataStart_ > bytes_.size()) {
    throw ToolError("index of " + std::to_string(header_.frameCount) + " frames is cut short by the end of the file");
  }
  index_.resize(header_.frameCount);
  if (!index_.empty())
    std::memcpy(index_.data(), bytes_.data() + sizeof header_, index_.size() * sizeof(FrameIndexEntry));
  dataAvailable_ = std::min<uint64_t>(header_.dataSize, bytes_.size() - dataStart_);
}

std::string FrameFileImage::DecodeFrame(uint32_t index, std::vector<uint8_t>& out) const {
  if (index >= index_.size()) return "no such frame";
  const FrameIndexEntry& entry = index_[index];
  if (uint64_t{entry.offset} + entry.size > header_.dataSize) return "record reaches past the data area";
  if (uint64_t{entry.offset} + entry.size > dataAvailable_) return "record reaches past the end of the file";
  const size_t frameBytes = size_t{header_.width} * header_.height;
  out.assign(frameBytes, 0);
  const InflateResult result =
      InflateRecord(bytes_.data() + dataStart_ + entry.offset, entry.size, out.data(), out.size());
  if (result.status != InflateStatus::Complete) return DescribeInflateStatus(result.status);
  if (result.produced != frameBytes) {
    return "record decodes to " + std::to_string(result.produced) + " bytes instead of " + std::to_string(frameBytes);
  }
  return "";
}

std::vector<uint8_t> TopDownRows(const std::vector<uint8_t>& frame, uint32_t width, uint32_t height) {
  std::vector<uint8_t> rows(frame.size());
  for (uint32_t y = 0; y < height; ++y) {
    std::memcpy(&rows[size_t{y} * width], &frame[size_t{height - 1 - y} * width], width);
  }
  return rows;
}
