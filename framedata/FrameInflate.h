#pragma once
// One compressed record into one frame: a zlib stream (zlib wrapper, 15-bit window; neither raw
// deflate nor gzip) inflated straight into the caller's buffer.
#include <cstddef>
#include <cstdint>

enum class InflateStatus {
  Complete,     // the stream ended; `produced` bytes were written
  TooLong,      // the stream holds more than the buffer takes
  Corrupt,      // bad header, bad data, or the record ends inside the stream
  StartFailed,  // inflateInit failed
  EndFailed,    // inflateEnd failed
};

struct InflateResult {
  InflateStatus status;
  size_t produced;  // bytes written into the buffer
};

// A stream that ends before the buffer is full is Complete; the rest of the buffer is untouched.
InflateResult InflateRecord(const uint8_t* record, size_t recordSize, uint8_t* out, size_t outSize);

const char* DescribeInflateStatus(InflateStatus status);
