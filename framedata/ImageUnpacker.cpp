#include "framedata/ImageUnpacker.h"

#include "base/FatalCheck.h"
#include "framedata/FrameInflate.h"

bool ImageUnpacker::Open(const std::wstring& path, bool memoryCompact) {
  // Release, not just clear: an on-demand open after a memory-resident one must not keep the old
  // data area's allocation.
  header_ = FrameFileHeader{};
  index_ = std::vector<FrameIndexEntry>();
  bytes_ = std::vector<uint8_t>();
  file_.Close();

  if (!file_.Open(path)) return false;
  uint64_t fileSize = 0;
  if (!file_.Size(fileSize)) return Fail();
  if (file_.Read(&header_, sizeof header_) != sizeof header_) return Fail();
  if (header_.width > kLargestFrameSide || header_.height > kLargestFrameSide) return Fail();

  // Check sizes against the file before allocating: a damaged header must not become a
  // multi-gigabyte allocation.
  const uint64_t dataStart = FrameDataStart(header_.frameCount);
  if (dataStart > fileSize) return Fail();
  index_.resize(header_.frameCount);
  const size_t indexBytes = index_.size() * sizeof(FrameIndexEntry);
  if (file_.Read(index_.data(), indexBytes) != indexBytes) return Fail();

  memoryCompact_ = memoryCompact;
  if (memoryCompact) {
    // A short data area is allowed here: only the records beyond the end fail, when fetched.
    dataStart_ = dataStart;
    fileSize_ = fileSize;
    return true;
  }

  if (header_.dataSize > fileSize - dataStart) return Fail();
  bytes_.resize(header_.dataSize);
  if (file_.Read(bytes_.data(), bytes_.size()) != bytes_.size()) return Fail();
  file_.Close();
  return true;
}

bool ImageUnpacker::Fail() {
  file_.Close();
  return false;
}

void ImageUnpacker::Unpack(uint32_t index, std::vector<uint8_t>& out) {
  FatalUnless(index < header_.frameCount, "frame index out of range");
  out.resize(static_cast<size_t>(header_.width) * header_.height);
  const Record record = FetchRecord(index);
  const InflateResult result = InflateRecord(record.bytes, record.size, out.data(), out.size());
  FatalUnless(result.status == InflateStatus::Complete, DescribeInflateStatus(result.status));
}

ImageUnpacker::Record ImageUnpacker::FetchRecord(uint32_t index) {
  // After a failed Open the header may promise more frames than the index holds.
  FatalUnless(index < index_.size(), "frame index out of range");
  const FrameIndexEntry& entry = index_[index];
  return memoryCompact_ ? FetchFromFile(entry) : FetchFromMemory(entry);
}

ImageUnpacker::Record ImageUnpacker::FetchFromFile(const FrameIndexEntry& entry) {
  // A record that the file cannot hold would come back short and leave the previous record's
  // bytes in the buffer, which may inflate into the wrong frame: it is as fatal as a corrupt one.
  const uint64_t start = dataStart_ + entry.offset;
  FatalUnless(start <= fileSize_ && entry.size <= fileSize_ - start, "frame record beyond the end of the file");
  bytes_.resize(entry.size);
  if (!file_.Seek(start)) FatalLastError("seek to frame record");
  FatalUnless(file_.Read(bytes_.data(), bytes_.size()) == bytes_.size(), "short read of frame record");
  return {bytes_.data(), bytes_.size()};
}

ImageUnpacker::Record ImageUnpacker::FetchFromMemory(const FrameIndexEntry& entry) const {
  FatalUnless(uint64_t{entry.offset} + entry.size <= bytes_.size(), "frame record beyond the data area");
  return {bytes_.data() + entry.offset, entry.size};
}
