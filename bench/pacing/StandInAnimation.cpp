#include "bench/pacing/StandInAnimation.h"

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <vector>

#include "framedata/FrameFileFormat.h"

namespace {
constexpr uint32_t kWidth = 512, kHeight = 384, kFrames = 300;

// White ground, a black hill along the bottom and a black disc crossing the picture.
std::vector<uint8_t> Picture(uint32_t frame) {
  std::vector<uint8_t> grey(size_t{kWidth} * kHeight, 255);
  const double cx = 40.0 + (kWidth - 80.0) * frame / kFrames;
  const double cy = 200.0 + 60.0 * std::sin(frame * 0.1);
  for (uint32_t y = 0; y < kHeight; ++y) {  // y = 0 is the bottom row, as stored
    for (uint32_t x = 0; x < kWidth; ++x) {
      const double hill = 40.0 + 20.0 * std::sin(x * 0.02);
      const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
      uint8_t& g = grey[size_t{y} * kWidth + x];
      if (y < hill) g = 0;
      if (d < 30.0)
        g = 0;
      else if (d < 32.0)
        g = static_cast<uint8_t>((d - 30.0) * 127.0);  // a soft edge
    }
  }
  return grey;
}
}  // namespace

bool WriteStandInAnimation(const std::wstring& path) {
  FrameFileHeader header{kWidth, kHeight, kFrames, 0};
  std::vector<FrameIndexEntry> index;
  std::vector<uint8_t> data;
  for (uint32_t frame = 0; frame < kFrames; ++frame) {
    const std::vector<uint8_t> picture = Picture(frame);
    uLongf size = compressBound(static_cast<uLong>(picture.size()));
    std::vector<uint8_t> record(size);
    if (compress(record.data(), &size, picture.data(), static_cast<uLong>(picture.size())) != Z_OK) return false;
    index.push_back({static_cast<uint32_t>(data.size()), static_cast<uint32_t>(size)});
    data.insert(data.end(), record.begin(), record.begin() + static_cast<std::ptrdiff_t>(size));
  }
  header.dataSize = static_cast<uint32_t>(data.size());
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out) return false;
  const bool written = fwrite(&header, sizeof header, 1, out) == 1 &&
                       fwrite(index.data(), sizeof(FrameIndexEntry), index.size(), out) == index.size() &&
                       fwrite(data.data(), 1, data.size(), out) == data.size();
  return fclose(out) == 0 && written;
}
