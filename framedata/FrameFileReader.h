#pragma once
// A read-only file handle with the few operations the frame file needs. One implementation per
// operating system (Windows API with a UTF-16 path, POSIX with the path as UTF-8); both behave
// alike: Open fails on a missing file or a folder, Read returns fewer bytes than asked at the end
// of the file or on an error.
#include <cstddef>
#include <cstdint>
#include <string>

#ifdef _WIN32
#include "base/UniqueHandle.h"
#endif

class FrameFileReader {
 public:
  FrameFileReader() = default;
  ~FrameFileReader();
  FrameFileReader(const FrameFileReader&) = delete;
  FrameFileReader& operator=(const FrameFileReader&) = delete;

  // Opens an existing file for reading, shared with other readers. Closes any file open before.
  bool Open(const std::wstring& path);
  void Close();
  bool IsOpen() const;

  bool Size(uint64_t& bytes) const;
  bool Seek(uint64_t position);
  // Reads up to `bytes` bytes; returns how many arrived.
  size_t Read(void* buffer, size_t bytes);

 private:
#ifdef _WIN32
  UniqueHandle handle_;
#else
  int fd_ = -1;
#endif
};
