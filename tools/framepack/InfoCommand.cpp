#include <cstdio>

#include "tools/framepack/CommandLine.h"
#include "tools/framepack/Commands.h"
#include "tools/framepack/FileNames.h"
#include "tools/framepack/FrameFileImage.h"
#include "tools/framepack/ToolError.h"

int RunInfo(const std::vector<std::string>& args) {
  const CommandLine line = ParseCommandLine(args, {});
  if (line.positional.size() != 1) throw ToolError("usage: info FILE");
  const FrameFileImage file(ReadWholeFile(PathFromUtf8(line.positional[0])));
  const FrameFileHeader& header = file.header();

  std::printf("size: %ux%u\n", header.width, header.height);
  std::printf("frames: %u\n", header.frameCount);
  std::printf("duration: %.2f s at 30 fps\n", header.frameCount / 30.0);
  std::printf("data: %u bytes", header.dataSize);
  if (file.dataAvailable() < header.dataSize)
    std::printf(" (file holds only %llu)", static_cast<unsigned long long>(file.dataAvailable()));
  std::printf("\n");
  const double raw = double(header.width) * header.height * header.frameCount;
  if (header.dataSize > 0) std::printf("compression: %.1f : 1\n", raw / header.dataSize);
  if (header.frameCount > 0) {
    uint32_t smallest = 0, largest = 0;
    for (uint32_t i = 1; i < header.frameCount; ++i) {
      if (file.index()[i].size < file.index()[smallest].size) smallest = i;
      if (file.index()[i].size > file.index()[largest].size) largest = i;
    }
    std::printf("smallest record: %u bytes (frame %u)\n", file.index()[smallest].size, smallest);
    std::printf("largest record: %u bytes (frame %u)\n", file.index()[largest].size, largest);
  }
  return 0;
}
