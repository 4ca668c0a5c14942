#define ZLIB_CONST
#include "framedata/FrameInflate.h"

#include <zlib.h>

InflateResult InflateRecord(const uint8_t* record, size_t recordSize, uint8_t* out, size_t outSize) {
  // zlib rejects a null output pointer even when no output is asked for.
  uint8_t none = 0;
  z_stream stream{};
  stream.next_in = record != nullptr ? record : &none;
  stream.avail_in = static_cast<uInt>(recordSize);
  stream.next_out = out != nullptr ? out : &none;
  stream.avail_out = static_cast<uInt>(outSize);
  if (inflateInit(&stream) != Z_OK) return {InflateStatus::StartFailed, 0};

  InflateStatus status = InflateStatus::Corrupt;
  for (;;) {
    const int result = inflate(&stream, Z_NO_FLUSH);
    if (result == Z_STREAM_END) {
      status = InflateStatus::Complete;
      break;
    }
    if (result != Z_OK) break;  // data, stream, memory or buffer error
    if (stream.avail_out == 0) {
      status = InflateStatus::TooLong;
      break;
    }
  }
  const size_t produced = outSize - stream.avail_out;
  if (inflateEnd(&stream) != Z_OK && status == InflateStatus::Complete) status = InflateStatus::EndFailed;
  return {status, produced};
}

const char* DescribeInflateStatus(InflateStatus status) {
  switch (status) {
    case InflateStatus::Complete:
      return "complete";
    case InflateStatus::TooLong:
      return "record decodes to more than one frame";
    case InflateStatus::Corrupt:
      return "corrupt or truncated record";
    case InflateStatus::StartFailed:
      return "inflate could not start";
    case InflateStatus::EndFailed:
      return "inflate could not end";
  }
  return "unknown inflate failure";
}
