#include <cstdio>

#include "tools/framepack/CommandLine.h"
#include "tools/framepack/Commands.h"
#include "tools/framepack/FileNames.h"
#include "tools/framepack/FrameFileImage.h"
#include "tools/framepack/PgmFile.h"
#include "tools/framepack/ToolError.h"

namespace {
std::string FrameFileName(uint32_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%05u.pgm", index);
  return name;
}
}  // namespace

int RunUnpack(const std::vector<std::string>& args) {
  const CommandLine line = ParseCommandLine(args, {"--output", "--first", "--count"}, {{"-o", "--output"}});
  if (line.positional.size() != 1 || !line.Has("--output")) throw ToolError("usage: unpack FILE -o FOLDER");
  const FrameFileImage file(ReadWholeFile(PathFromUtf8(line.positional[0])));
  const uint32_t frames = file.header().frameCount;
  const uint32_t first = ParseCount(line.Get("--first", "0"), "first frame");
  if (first > frames)
    throw ToolError("first frame " + std::to_string(first) + " beyond the " + std::to_string(frames) + " frames");
  const uint32_t count = line.Has("--count") ? ParseCount(line.Get("--count"), "frame count") : frames - first;
  const uint32_t end = count > frames - first ? frames : first + count;

  const auto folder = PathFromUtf8(line.Get("--output"));
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw ToolError("cannot create " + line.Get("--output"));

  std::vector<uint8_t> frame;
  for (uint32_t i = first; i < end; ++i) {
    const std::string why = file.DecodeFrame(i, frame);
    if (!why.empty()) throw ToolError("frame " + std::to_string(i) + ": " + why);
    GreyImage image{file.header().width, file.header().height,
                    TopDownRows(frame, file.header().width, file.header().height)};
    WriteWholeFile(folder / FrameFileName(i), EncodePgm(image));
  }
  std::printf("wrote %u frames to %s\n", end - first, line.Get("--output").c_str());
  return 0;
}
