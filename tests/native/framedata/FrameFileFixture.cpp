#include "tests/native/framedata/FrameFileFixture.h"

#include <zlib.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "engine/base/FatalCheck.h"

namespace {
Bytes Deflate(const Bytes& pixels, int windowBits) {
  z_stream stream{};
  if (deflateInit2(&stream, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflateInit2");
  Bytes out(deflateBound(&stream, static_cast<uLong>(pixels.size())) + 32);
  stream.next_in = const_cast<Bytef*>(pixels.data());
  stream.avail_in = static_cast<uInt>(pixels.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(out.size() - stream.avail_out);
  deflateEnd(&stream);
  return out;
}

std::atomic<unsigned> folderCounter{0};
}  // namespace

Bytes ZlibRecord(const Bytes& pixels) { return Deflate(pixels, 15); }
Bytes GzipRecord(const Bytes& pixels) { return Deflate(pixels, 15 + 16); }
Bytes RawDeflateRecord(const Bytes& pixels) { return Deflate(pixels, -15); }

Bytes PatternFrame(uint32_t width, uint32_t height, uint32_t seed) {
  Bytes pixels(size_t{width} * height);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + seed * 31);
  return pixels;
}

void FrameFileLayout::AddRecord(const Bytes& record) {
  index.push_back({static_cast<uint32_t>(data.size()), static_cast<uint32_t>(record.size())});
  data.insert(data.end(), record.begin(), record.end());
  header.frameCount = static_cast<uint32_t>(index.size());
  header.dataSize = static_cast<uint32_t>(data.size());
}

Bytes FrameFileLayout::FileBytes() const {
  Bytes bytes(sizeof header + index.size() * sizeof(FrameIndexEntry));
  std::memcpy(bytes.data(), &header, sizeof header);
  if (!index.empty()) std::memcpy(bytes.data() + sizeof header, index.data(), index.size() * sizeof(FrameIndexEntry));
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

FrameFileLayout PatternFile(uint32_t width, uint32_t height, uint32_t frames) {
  FrameFileLayout file;
  file.header.width = width;
  file.header.height = height;
  for (uint32_t i = 0; i < frames; ++i) file.AddRecord(ZlibRecord(PatternFrame(width, height, i)));
  return file;
}

std::wstring WidePath(const std::filesystem::path& path) {
#ifdef _WIN32
  return path.wstring();
#else
  const std::string utf8 = path.u8string();
  std::wstring wide;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    wide += static_cast<wchar_t>(code);
    i += extra + 1;
  }
  return wide;
#endif
}

TempFolder::TempFolder() {
  path_ = std::filesystem::temp_directory_path() /
          ("kagemira-framedata-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + "-" +
           std::to_string(folderCounter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempFolder::Write(const std::string& name, const Bytes& bytes) const {
  const std::filesystem::path file = path_ / std::filesystem::u8path(name);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write test file");
  return file;
}

namespace {
[[noreturn]] void ThrowFatal(const char* reason) { throw FatalCalled{reason}; }
}  // namespace

FatalThrows::FatalThrows() : previous_(SetFatalHandler(ThrowFatal)) {}
FatalThrows::~FatalThrows() { SetFatalHandler(previous_); }
