#include "framedata/FrameFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
// wchar_t holds UTF-32 here; the file system takes UTF-8.
std::string Utf8FromWide(const std::wstring& wide) {
  std::string out;
  for (wchar_t wc : wide) {
    const auto c = static_cast<uint32_t>(wc);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
}  // namespace

FrameFileReader::~FrameFileReader() { Close(); }

bool FrameFileReader::Open(const std::wstring& path) {
  Close();
  fd_ = ::open(Utf8FromWide(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  // CreateFileW refuses a folder; so does this reader.
  struct stat info;
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    Close();
    return false;
  }
  return true;
}

void FrameFileReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool FrameFileReader::IsOpen() const { return fd_ >= 0; }

bool FrameFileReader::Size(uint64_t& bytes) const {
  struct stat info;
  if (::fstat(fd_, &info) != 0) return false;
  bytes = static_cast<uint64_t>(info.st_size);
  return true;
}

bool FrameFileReader::Seek(uint64_t position) {
  return ::lseek(fd_, static_cast<off_t>(position), SEEK_SET) != static_cast<off_t>(-1);
}

size_t FrameFileReader::Read(void* buffer, size_t bytes) {
  auto* next = static_cast<char*>(buffer);
  size_t total = 0;
  while (total < bytes) {
    const ssize_t got = ::read(fd_, next + total, bytes - total);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    total += static_cast<size_t>(got);
  }
  return total;
}
