#include <cstdio>
#include <vector>

#include "tools/framepack/CommandLine.h"
#include "tools/framepack/Commands.h"
#include "tools/framepack/FileNames.h"
#include "tools/framepack/FrameFileWriter.h"
#include "tools/framepack/ToolError.h"
#include "tools/framepack/demo/DemoAnimation.h"

int RunDemo(const std::vector<std::string>& args) {
  const CommandLine line = ParseCommandLine(args, {"--output"}, {{"-o", "--output"}});
  if (!line.Has("--output") || !line.positional.empty()) throw ToolError("usage: demo -o FILE");
  DemoAnimation animation;
  FrameFileWriter writer(kDemoWidth, kDemoHeight);
  std::vector<uint8_t> frame(size_t{kDemoWidth} * kDemoHeight);
  for (int n = 0; n < kDemoFrames; ++n) {
    animation.RenderFrame(n, frame.data());
    writer.AddTopDownFrame(frame.data());
  }
  const std::vector<uint8_t> bytes = writer.FileBytes();
  WriteWholeFile(PathFromUtf8(line.Get("--output")), bytes);
  std::printf("wrote %s: %d frames, %zu bytes\n", line.Get("--output").c_str(), kDemoFrames, bytes.size());
  return 0;
}
