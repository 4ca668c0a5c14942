#include "tools/framepack/FrameFileWriter.h"

#include <zlib.h>

#include <cstring>

#include "tools/framepack/ToolError.h"

FrameFileWriter::FrameFileWriter(uint32_t width, uint32_t height, Effort effort, int compressionLevel)
    : width_(width), height_(height), effort_(effort), level_(compressionLevel), flipped_(size_t{width} * height) {}

// One complete zlib stream (zlib wrapper, 15-bit window) of the flipped frame.
void FrameFileWriter::Compress(int strategy, std::vector<uint8_t>& record) const {
  z_stream stream{};
  if (deflateInit2(&stream, level_, Z_DEFLATED, 15, 9, strategy) != Z_OK) throw ToolError("compression failed");
  record.resize(deflateBound(&stream, static_cast<uLong>(flipped_.size())));
  stream.next_in = const_cast<Bytef*>(flipped_.data());
  stream.avail_in = static_cast<uInt>(flipped_.size());
  stream.next_out = record.data();
  stream.avail_out = static_cast<uInt>(record.size());
  const int result = deflate(&stream, Z_FINISH);
  record.resize(record.size() - stream.avail_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw ToolError("compression failed");
}

void FrameFileWriter::AddTopDownFrame(const uint8_t* pixels) {
  for (uint32_t y = 0; y < height_; ++y) {
    std::memcpy(&flipped_[size_t{height_ - 1 - y} * width_], pixels + size_t{y} * width_, width_);
  }
  Compress(Z_RLE, record_);
  if (effort_ == Effort::Smallest) {
    Compress(Z_DEFAULT_STRATEGY, alternative_);
    if (alternative_.size() < record_.size()) record_.swap(alternative_);
  }
  if (data_.size() + record_.size() > 0xFFFFFFFFu) throw ToolError("frame file would exceed 4 GB");
  index_.push_back({static_cast<uint32_t>(data_.size()), static_cast<uint32_t>(record_.size())});
  data_.insert(data_.end(), record_.begin(), record_.end());
}

std::vector<uint8_t> FrameFileWriter::FileBytes() const {
  const FrameFileHeader header{width_, height_, frameCount(), static_cast<uint32_t>(data_.size())};
  std::vector<uint8_t> bytes(sizeof header + index_.size() * sizeof(FrameIndexEntry));
  std::memcpy(bytes.data(), &header, sizeof header);
  if (!index_.empty())
    std::memcpy(bytes.data() + sizeof header, index_.data(), index_.size() * sizeof(FrameIndexEntry));
  bytes.insert(bytes.end(), data_.begin(), data_.end());
  return bytes;
}
