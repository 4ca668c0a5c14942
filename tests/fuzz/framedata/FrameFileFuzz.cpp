// Any bytes as um.bin: Open in both modes, then Unpack and convert a few frames. Every fatal check
// is observed through the fatal handler (it throws) instead of ending the fuzzer; anything else
// (a crash, a sanitizer report, a leak, an allocation beyond the limit) is a finding.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/FatalCheck.h"
#include "framedata/ImageUnpacker.h"
#include "framedata/SilhouetteConversion.h"

namespace {
struct FatalCalled {};
[[noreturn]] void ThrowFatal(const char*) { throw FatalCalled{}; }

// The input goes through a real file, as um.bin does; removed when the fuzzer ends.
struct InputFile {
  std::string path = "/tmp/kagemira-framedata-fuzz-" + std::to_string(getpid()) + ".bin";
  ~InputFile() { std::remove(path.c_str()); }
};

const std::string& InputPath() {
  static const InputFile file;
  return file.path;
}

void Exercise(bool memoryCompact) {
  ImageUnpacker unpacker;
  const std::string& path = InputPath();
  if (!unpacker.Open(std::wstring(path.begin(), path.end()), memoryCompact)) return;
  // Frames are at most 16384 x 16384; decoding the large ones only slows the search down.
  const size_t frameBytes = size_t{unpacker.width()} * unpacker.height();
  if (frameBytes > (size_t{1} << 22)) return;
  std::vector<uint8_t> frame, mask;
  std::vector<uint32_t> texels;
  const uint32_t frames = unpacker.frameCount() < 4 ? unpacker.frameCount() + 1 : 4;  // one past the end too
  for (uint32_t i = 0; i < frames; ++i) {
    try {
      unpacker.Unpack(i, frame);
    } catch (const FatalCalled&) {
      continue;
    }
    if (frame.size() != frameBytes) __builtin_trap();
    texels.resize(frameBytes + 1);
    WriteSilhouetteTexels(frame.data(), unpacker.width(), unpacker.height(), 200, texels.data(),
                          unpacker.width() * sizeof(uint32_t));
    WriteMask(frame.data(), unpacker.width(), unpacker.height(), mask);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const FatalHandler installed = SetFatalHandler(ThrowFatal);
  (void)installed;
  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  Exercise(false);
  Exercise(true);
  return 0;
}
