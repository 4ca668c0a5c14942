#include "framedata/FrameFileReader.h"

#include <windows.h>

#include <algorithm>

FrameFileReader::~FrameFileReader() { Close(); }

bool FrameFileReader::Open(const std::wstring& path) {
  Close();
  handle_.reset(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return IsOpen();
}

void FrameFileReader::Close() { handle_.reset(); }

bool FrameFileReader::IsOpen() const { return static_cast<bool>(handle_); }

bool FrameFileReader::Size(uint64_t& bytes) const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle_.get(), &size)) return false;
  bytes = static_cast<uint64_t>(size.QuadPart);
  return true;
}

bool FrameFileReader::Seek(uint64_t position) {
  LARGE_INTEGER target;
  target.QuadPart = static_cast<LONGLONG>(position);
  return SetFilePointerEx(handle_.get(), target, nullptr, FILE_BEGIN) != 0;
}

size_t FrameFileReader::Read(void* buffer, size_t bytes) {
  auto* next = static_cast<char*>(buffer);
  size_t total = 0;
  while (total < bytes) {
    // ReadFile takes a 32-bit count.
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes - total, 0x40000000));
    DWORD got = 0;
    if (!ReadFile(handle_.get(), next + total, ask, &got, nullptr) || got == 0) break;
    total += got;
  }
  return total;
}
