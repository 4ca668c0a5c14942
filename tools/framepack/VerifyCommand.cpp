#include <cstdio>

#include "tools/framepack/CommandLine.h"
#include "tools/framepack/Commands.h"
#include "tools/framepack/FileNames.h"
#include "tools/framepack/FrameFileImage.h"
#include "tools/framepack/ToolError.h"

namespace {
// The first reason the screen saver would refuse or die on this file, or an empty string.
std::string FirstFault(const FrameFileImage& file) {
  const FrameFileHeader& header = file.header();
  if (header.width == 0 || header.height == 0) return "frame size is zero";
  if (header.width > kLargestFrameSide || header.height > kLargestFrameSide) return "frame size too large to show";
  if (header.frameCount == 0) return "no frames";
  if (file.dataAvailable() < header.dataSize) {
    return "data area is " + std::to_string(file.dataAvailable()) + " bytes, header says " +
           std::to_string(header.dataSize);
  }
  std::vector<uint8_t> frame;
  for (uint32_t i = 0; i < header.frameCount; ++i) {
    const std::string why = file.DecodeFrame(i, frame);
    if (!why.empty()) return "frame " + std::to_string(i) + ": " + why;
  }
  return "";
}
}  // namespace

int RunVerify(const std::vector<std::string>& args) {
  const CommandLine line = ParseCommandLine(args, {});
  if (line.positional.size() != 1) throw ToolError("usage: verify FILE");
  const std::string& name = line.positional[0];
  const std::string fault = FirstFault(FrameFileImage(ReadWholeFile(PathFromUtf8(name))));
  if (!fault.empty()) {
    std::fprintf(stderr, "framepack: %s: %s\n", name.c_str(), fault.c_str());
    return 1;
  }
  std::printf("%s: ok\n", name.c_str());
  return 0;
}
