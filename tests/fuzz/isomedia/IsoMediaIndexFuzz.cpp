// Any bytes as the beginning of an MP4: its top-level boxes walked as the file it is, and as the
// start of a much larger file whose rest cannot be read. Findings: a crash, a sanitizer report, a
// read outside the file, or reads beyond the walk's bound.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "media/IsoMediaIndex.h"

namespace {
void Walk(const uint8_t* data, size_t size, uint64_t fileSize) {
  uint64_t reads = 0;
  FindIsoMediaIndex(fileSize, [&](uint64_t offset, uint8_t* buffer, size_t count) {
    if (offset >= fileSize || ++reads > 100001) __builtin_trap();
    if (offset >= size) return size_t{0};
    const size_t got = count < size - offset ? count : static_cast<size_t>(size - offset);
    std::memcpy(buffer, data + offset, got);
    return got;
  });
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Walk(data, size, size);
  Walk(data, size, size + (uint64_t{1} << 40));
  return 0;
}
