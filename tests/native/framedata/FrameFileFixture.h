#pragma once
// Frame files written by the tests themselves: a header, an index and a data area laid out by
// hand, so that every damaged variant can be made on purpose. Shared by the native and the Wine
// tests of the frame file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "framedata/FrameFileFormat.h"

using Bytes = std::vector<uint8_t>;

// zlib streams of one frame in the three wrappings zlib can write.
Bytes ZlibRecord(const Bytes& pixels);
Bytes GzipRecord(const Bytes& pixels);
Bytes RawDeflateRecord(const Bytes& pixels);

// A frame whose bytes tell frames apart: pixel i of frame `seed` is (i * 7 + seed * 31) mod 256.
Bytes PatternFrame(uint32_t width, uint32_t height, uint32_t seed);

struct FrameFileLayout {
  FrameFileHeader header{};
  std::vector<FrameIndexEntry> index;
  Bytes data;

  // Appends a record to the data area and indexes it as the next frame.
  void AddRecord(const Bytes& record);
  Bytes FileBytes() const;
};

// A well-formed file of `frames` pattern frames.
FrameFileLayout PatternFile(uint32_t width, uint32_t height, uint32_t frames);

// The wide path ImageUnpacker takes (UTF-16 on Windows, code points elsewhere), whatever the
// process locale.
std::wstring WidePath(const std::filesystem::path& path);

// A fresh folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::filesystem::path Write(const std::string& name, const Bytes& bytes) const;
  std::filesystem::path path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Installs a fatal handler that throws FatalCalled for the lifetime of the object, so a test can
// see the fatal path with EXPECT_THROW.
struct FatalCalled {
  std::string reason;
};

class FatalThrows {
 public:
  FatalThrows();
  ~FatalThrows();
  FatalThrows(const FatalThrows&) = delete;
  FatalThrows& operator=(const FatalThrows&) = delete;

 private:
  void (*previous_)(const char*);
};
