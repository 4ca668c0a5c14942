#pragma once
// Whether an ISO base media file (MP4, M4A, M4V, MOV, 3GP) holds its movie box, the index every
// reader needs before it can play a single frame. A file cut off before it (a download that
// stopped, a copy that failed) is unplayable, and is known to be without asking the system's
// reader, some of which never answer for such a file. Portable: no operating system.
#include <cstddef>
#include <cstdint>
#include <functional>

enum class IsoMediaIndex {
  Unknown,  // not an ISO media file, or too unusual to tell: the system's reader decides
  Present,  // a whole movie box lies within the file
  Missing,  // an ISO media file without a whole movie box: the file ends first or is malformed
};

// Reads up to count bytes at offset into buffer; returns how many it read.
using ReadAt = std::function<size_t(uint64_t offset, uint8_t* buffer, size_t count)>;

// Walks the file's top-level boxes (only their headers are read).
IsoMediaIndex FindIsoMediaIndex(uint64_t fileSize, const ReadAt& readAt);
