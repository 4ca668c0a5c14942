#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "tools/framepack/CommandLine.h"
#include "tools/framepack/Commands.h"
#include "tools/framepack/FileNames.h"
#include "tools/framepack/FrameFileWriter.h"
#include "tools/framepack/GreyLevels.h"
#include "tools/framepack/PgmFile.h"
#include "tools/framepack/ToolError.h"

namespace fs = std::filesystem;

namespace {
// Picture files in the order given; a folder contributes its .pgm files in name order.
std::vector<fs::path> ListFrameFiles(const std::vector<std::string>& inputs) {
  std::vector<fs::path> files;
  for (const std::string& input : inputs) {
    const fs::path path = PathFromUtf8(input);
    std::error_code error;
    if (fs::is_directory(path, error)) {
      std::vector<fs::path> inFolder;
      for (const auto& item : fs::directory_iterator(path, error)) {
        std::string extension = Utf8FromPath(item.path().extension());
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (item.is_regular_file() && extension == ".pgm") inFolder.push_back(item.path());
      }
      if (error) throw ToolError("cannot list " + input);
      std::sort(inFolder.begin(), inFolder.end());
      if (inFolder.empty()) throw ToolError("no .pgm files in " + input);
      files.insert(files.end(), inFolder.begin(), inFolder.end());
    } else {
      files.push_back(path);
    }
  }
  return files;
}

class Progress {
 public:
  void Frame(uint32_t count) {
    if (count % 100 == 0) {
      std::fprintf(stderr, "\rpacking: %u frames", count);
      shown_ = true;
    }
  }
  ~Progress() {
    if (shown_) std::fputc('\n', stderr);
  }

 private:
  bool shown_ = false;
};

void PackPictures(const std::vector<fs::path>& files, const GreyLevels* levels, int compression,
                  std::unique_ptr<FrameFileWriter>& writer) {
  Progress progress;
  for (const fs::path& file : files) {
    const std::string name = Utf8FromPath(file);
    GreyImage image = ParsePgm(ReadWholeFile(file), name);
    if (!writer)
      writer =
          std::make_unique<FrameFileWriter>(image.width, image.height, FrameFileWriter::Effort::Smallest, compression);
    if (image.width != writer->width() || image.height != writer->height()) {
      throw ToolError(name + ": " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                      " differs from the first frame's " + std::to_string(writer->width()) + "x" +
                      std::to_string(writer->height()));
    }
    if (levels) ApplyGreyLevels(*levels, image.pixels.data(), image.pixels.size());
    writer->AddTopDownFrame(image.pixels.data());
    progress.Frame(writer->frameCount());
  }
}

void PackRawInput(uint32_t width, uint32_t height, const GreyLevels* levels, int compression,
                  std::unique_ptr<FrameFileWriter>& writer) {
  writer = std::make_unique<FrameFileWriter>(width, height, FrameFileWriter::Effort::Smallest, compression);
  std::vector<uint8_t> frame(size_t{width} * height);
  Progress progress;
  for (;;) {
    const size_t got = ReadStandardInput(frame.data(), frame.size());
    if (got == 0) break;
    if (got != frame.size()) {
      throw ToolError("standard input ends inside frame " + std::to_string(writer->frameCount()) + " (" +
                      std::to_string(got) + " of " + std::to_string(frame.size()) + " bytes)");
    }
    if (levels) ApplyGreyLevels(*levels, frame.data(), frame.size());
    writer->AddTopDownFrame(frame.data());
    progress.Frame(writer->frameCount());
  }
}
}  // namespace

int RunPack(const std::vector<std::string>& args) {
  const CommandLine line =
      ParseCommandLine(args, {"--output", "--size", "--levels", "--compression"}, {{"-o", "--output"}});
  if (!line.Has("--output")) throw ToolError("pack needs -o FILE");
  GreyLevels levels;
  const bool withLevels = line.Has("--levels");
  if (withLevels) levels = ParseGreyLevels(line.Get("--levels"));
  const uint32_t compression = ParseCount(line.Get("--compression", "6"), "compression level");
  if (compression < 1 || compression > 9) throw ToolError("compression level must be 1 to 9");

  std::unique_ptr<FrameFileWriter> writer;
  const bool fromInput = line.positional.empty() || (line.positional.size() == 1 && line.positional[0] == "-");
  if (fromInput) {
    if (!line.Has("--size")) throw ToolError("raw frames on standard input need --size WxH");
    uint32_t width = 0, height = 0;
    ParseSize(line.Get("--size"), width, height);
    PackRawInput(width, height, withLevels ? &levels : nullptr, static_cast<int>(compression), writer);
  } else {
    PackPictures(ListFrameFiles(line.positional), withLevels ? &levels : nullptr, static_cast<int>(compression),
                 writer);
  }
  if (!writer || writer->frameCount() == 0) throw ToolError("no frames to pack");

  const std::vector<uint8_t> bytes = writer->FileBytes();
  WriteWholeFile(PathFromUtf8(line.Get("--output")), bytes);
  std::printf("wrote %s: %u frames, %zu bytes\n", line.Get("--output").c_str(), writer->frameCount(), bytes.size());
  return 0;
}
