// The frame packer as its users run it: pack, verify, unpack, info, demo.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "framedata/ImageUnpacker.h"
#include "tests/fixtures/FrameFileFixture.h"

namespace fs = std::filesystem;

namespace {
struct ToolRun {
  int status;
  std::string output;  // standard output and error together
};

class FramepackTest : public ::testing::Test {
 protected:
  ToolRun Framepack(const std::string& arguments, const std::string& input = "") {
    const fs::path log = folder_.path() / "tool.log";
    std::string command = std::string("'") + FRAMEPACK_PROGRAM + "' " + arguments;
    if (!input.empty()) command = "cat '" + input + "' | " + command;
    const int raw = std::system((command + " >'" + log.string() + "' 2>&1").c_str());
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text.str()};
  }

  std::string Quoted(const fs::path& path) const { return "'" + path.string() + "'"; }

  static Bytes Pgm(uint32_t width, uint32_t height, const Bytes& pixels) {
    const std::string header =
        "P5\n# made by a test\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
  }

  static Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  TempFolder folder_;
};

TEST_F(FramepackTest, PackVerifyUnpackGivesTheFramesBack) {
  fs::create_directories(folder_.path() / "in");
  std::vector<Bytes> frames;
  for (uint32_t i = 0; i < 3; ++i) {
    frames.push_back(PatternFrame(37, 23, i));
    folder_.Write("in/f" + std::to_string(i) + ".pgm", Pgm(37, 23, frames.back()));
  }
  const fs::path packed = folder_.path() / "um.bin";
  ASSERT_EQ(Framepack("pack " + Quoted(folder_.path() / "in") + " -o " + Quoted(packed)).status, 0);
  const ToolRun verify = Framepack("verify " + Quoted(packed));
  EXPECT_EQ(verify.status, 0) << verify.output;

  ASSERT_EQ(Framepack("unpack " + Quoted(packed) + " -o " + Quoted(folder_.path() / "out")).status, 0);
  for (uint32_t i = 0; i < 3; ++i) {
    const Bytes back = ReadFile(folder_.path() / "out" / ("frame_0000" + std::to_string(i) + ".pgm"));
    ASSERT_GE(back.size(), frames[i].size());
    EXPECT_EQ(Bytes(back.end() - frames[i].size(), back.end()), frames[i]) << "frame " << i;
  }

  // The program reads the packed frames bottom row first.
  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(packed), true));
  Bytes frame;
  unpacker.Unpack(1, frame);
  EXPECT_TRUE(std::equal(frame.begin(), frame.begin() + 37, frames[1].end() - 37));

  const ToolRun info = Framepack("info " + Quoted(packed));
  EXPECT_NE(info.output.find("size: 37x23"), std::string::npos) << info.output;
  EXPECT_NE(info.output.find("frames: 3"), std::string::npos) << info.output;
}

TEST_F(FramepackTest, RawFramesOnStandardInputWithLevels) {
  Bytes raw;
  for (uint32_t i = 0; i < 4; ++i) {
    const Bytes frame = PatternFrame(16, 8, i);
    raw.insert(raw.end(), frame.begin(), frame.end());
  }
  const fs::path input = folder_.Write("video.raw", raw);
  const fs::path packed = folder_.path() / "um.bin";
  ASSERT_EQ(Framepack("pack --size 16x8 --levels 60:180 -o " + Quoted(packed), input.string()).status, 0);
  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(packed), false));
  ASSERT_EQ(unpacker.frameCount(), 4u);
  Bytes frame;
  unpacker.Unpack(2, frame);
  const Bytes source = PatternFrame(16, 8, 2);
  for (size_t i = 0; i < frame.size(); ++i) {
    // Same picture, bottom row first; greys beyond the levels become clean black and white.
    const uint8_t grey = source[(7 - i / 16) * 16 + i % 16];
    if (grey <= 60) {
      EXPECT_EQ(frame[i], 0);
    } else if (grey >= 180) {
      EXPECT_EQ(frame[i], 255);
    } else if (grey > 75 && grey < 165) {
      EXPECT_TRUE(frame[i] > 0 && frame[i] < 255) << int(grey) << " became " << int(frame[i]);
    }
  }
}

TEST_F(FramepackTest, BadInputGetsOneLineAndNonZeroStatus) {
  const fs::path packed = folder_.path() / "um.bin";
  const fs::path partial = folder_.Write("partial.raw", Bytes(16 * 8 + 5, 0));
  const fs::path notPgm = folder_.Write("x.pgm", Bytes{'P', '6', '\n'});
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"pack --size 16x8 -o " + Quoted(packed), partial.string()},
      {"pack " + Quoted(notPgm) + " -o " + Quoted(packed), ""},
      {"pack --size 0x8 -o " + Quoted(packed), partial.string()},
      {"pack --levels 200:100 --size 4x4 -o " + Quoted(packed), partial.string()},
      {"info " + Quoted(folder_.path() / "missing.bin"), ""},
      {"verify " + Quoted(folder_.Write("short.bin", Bytes(7, 0))), ""},
      {"unpack", ""},
      {"frobnicate", ""},
  };
  for (const auto& [arguments, input] : cases) {
    const ToolRun run = Framepack(arguments, input);
    EXPECT_NE(run.status, 0) << arguments;
    EXPECT_NE(run.output.find("framepack"), std::string::npos) << arguments << ": " << run.output;
  }
}

TEST_F(FramepackTest, VerifyNamesTheFirstBadFrame) {
  FrameFileLayout layout = PatternFile(8, 8, 3);
  Bytes shortFrame = PatternFrame(8, 8, 1);
  shortFrame.pop_back();
  layout.index[1].size = 0;
  layout.AddRecord(ZlibRecord(shortFrame));
  layout.index[1] = layout.index.back();
  layout.index.pop_back();
  layout.header.frameCount = 3;
  const ToolRun run = Framepack("verify " + Quoted(folder_.Write("um.bin", layout.FileBytes())));
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.output.find("frame 1: record decodes to 63 bytes instead of 64"), std::string::npos) << run.output;
}

// The default animation: the size the preview assumes, long enough, soft-edged, looping, and the
// same bytes every time it is made.
TEST_F(FramepackTest, DemoIsAWellFormedLoopingShadowPlay) {
  const fs::path first = folder_.path() / "a.bin", second = folder_.path() / "b.bin";
  ASSERT_EQ(Framepack("demo -o " + Quoted(first)).status, 0);
  ASSERT_EQ(Framepack("demo -o " + Quoted(second)).status, 0);
  EXPECT_TRUE(ReadFile(first) == ReadFile(second)) << "the demo must be deterministic";
  EXPECT_EQ(Framepack("verify " + Quoted(first)).status, 0);

  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(first), false));
  EXPECT_EQ(unpacker.width(), 512u);
  EXPECT_EQ(unpacker.height(), 384u);
  EXPECT_GE(unpacker.frameCount(), 40u * 30u);

  Bytes last, firstFrame, middle;
  unpacker.Unpack(unpacker.frameCount() - 1, last);
  unpacker.Unpack(0, firstFrame);
  unpacker.Unpack(unpacker.frameCount() / 2, middle);
  auto difference = [](const Bytes& a, const Bytes& b) {
    size_t changed = 0;
    for (size_t i = 0; i < a.size(); ++i) changed += (a[i] > b[i] ? a[i] - b[i] : b[i] - a[i]) > 64;
    return changed;
  };
  // Across the loop's seam the picture moves no more than between two neighbouring frames.
  Bytes next;
  unpacker.Unpack(unpacker.frameCount() / 2 + 1, next);
  EXPECT_LT(difference(last, firstFrame), std::max<size_t>(400, 3 * difference(middle, next)));
  const size_t softEdges = std::count_if(middle.begin(), middle.end(), [](uint8_t v) { return v > 0 && v < 255; });
  const size_t black = std::count(middle.begin(), middle.end(), 0);
  EXPECT_GT(softEdges, 2000u);
  EXPECT_GT(black, 20000u);
}
}  // namespace
