// Opening the frame file and fetching records, in both modes, with files the tests write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "framedata/ImageUnpacker.h"
#include "tests/fixtures/FrameFileFixture.h"

namespace fs = std::filesystem;

namespace {
size_t OpenDescriptors() {
  size_t count = 0;
  for (const auto& item : fs::directory_iterator("/proc/self/fd")) {
    (void)item;
    ++count;
  }
  return count;
}

Bytes Cut(Bytes bytes, size_t length) {
  bytes.resize(length);
  return bytes;
}

class ImageUnpackerTest : public ::testing::TestWithParam<bool> {
 protected:
  bool memoryCompact() const { return GetParam(); }
  TempFolder folder_;
  FatalThrows fatalThrows_;
};

INSTANTIATE_TEST_SUITE_P(BothModes, ImageUnpackerTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "OnDemand" : "MemoryResident"; });

TEST_P(ImageUnpackerTest, EveryFailedOpenReturnsFalseAndLeavesNoFileOpen) {
  const Bytes good = PatternFile(8, 4, 3).FileBytes();
  const std::vector<fs::path> bad = {
      folder_.path() / "missing.bin",
      folder_.path(),  // a folder
      folder_.Write("empty.bin", {}),
      folder_.Write("short-header.bin", Cut(good, 15)),
      folder_.Write("cut-index.bin", Cut(good, 16 + 3 * 8 - 1)),
  };
  const size_t before = OpenDescriptors();
  for (const fs::path& path : bad) {
    ImageUnpacker unpacker;
    EXPECT_FALSE(unpacker.Open(WidePath(path), memoryCompact())) << path;
    EXPECT_EQ(OpenDescriptors(), before) << path;
  }
}

TEST_P(ImageUnpackerTest, FramesComeBackInBothModes) {
  const FrameFileLayout layout = PatternFile(16, 3, 4);
  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(folder_.Write("um.bin", layout.FileBytes())), memoryCompact()));
  EXPECT_EQ(unpacker.width(), 16u);
  EXPECT_EQ(unpacker.height(), 3u);
  EXPECT_EQ(unpacker.frameCount(), 4u);
  Bytes out;
  for (uint32_t i : {3u, 0u, 2u, 1u, 1u}) {
    unpacker.Unpack(i, out);
    EXPECT_EQ(out, PatternFrame(16, 3, i)) << "frame " << i;
  }
}

TEST_P(ImageUnpackerTest, OffsetsCountFromTheDataAreaInAnyOrderAndTrailingBytesAreIgnored) {
  // Two frames: the data area starts at byte 32; frame 1's record comes first in it.
  const Bytes frame0 = ZlibRecord(PatternFrame(5, 2, 0)), frame1 = ZlibRecord(PatternFrame(5, 2, 1));
  FrameFileLayout layout;
  layout.header = {5, 2, 2, 0};
  layout.data = frame1;
  layout.data.insert(layout.data.end(), frame0.begin(), frame0.end());
  layout.header.dataSize = static_cast<uint32_t>(layout.data.size());
  layout.index = {{static_cast<uint32_t>(frame1.size()), static_cast<uint32_t>(frame0.size())},
                  {0, static_cast<uint32_t>(frame1.size())}};
  Bytes bytes = layout.FileBytes();
  ASSERT_EQ(Bytes(bytes.begin() + 32, bytes.begin() + 32 + frame1.size()), frame1);
  bytes.insert(bytes.end(), 100, 0xEE);

  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(folder_.Write("um.bin", bytes)), memoryCompact()));
  Bytes out;
  unpacker.Unpack(0, out);
  EXPECT_EQ(out, PatternFrame(5, 2, 0));
  unpacker.Unpack(1, out);
  EXPECT_EQ(out, PatternFrame(5, 2, 1));
}

TEST_P(ImageUnpackerTest, NoFramesOpensButAnyFetchIsFatal) {
  FrameFileLayout layout;
  layout.header = {512, 384, 0, 0};
  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(folder_.Write("um.bin", layout.FileBytes())), memoryCompact()));
  Bytes out;
  EXPECT_THROW(unpacker.Unpack(0, out), FatalCalled);
}

TEST_P(ImageUnpackerTest, IndexAtFrameCountIsFatal) {
  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(folder_.Write("um.bin", PatternFile(4, 4, 2).FileBytes())), memoryCompact()));
  Bytes out;
  EXPECT_THROW(unpacker.Unpack(2, out), FatalCalled);
}

TEST_P(ImageUnpackerTest, OpenTwiceClosesTheFirstFileAndStartsAfresh) {
  const fs::path first = folder_.Write("first.bin", PatternFile(4, 4, 5).FileBytes());
  const fs::path second = folder_.Write("second.bin", PatternFile(6, 2, 2).FileBytes());
  const size_t before = OpenDescriptors();
  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(first), memoryCompact()));
  ASSERT_TRUE(unpacker.Open(WidePath(second), memoryCompact()));
  EXPECT_EQ(OpenDescriptors(), before + (memoryCompact() ? 1 : 0));
  EXPECT_EQ(unpacker.frameCount(), 2u);
  Bytes out;
  unpacker.Unpack(1, out);
  EXPECT_EQ(out, PatternFrame(6, 2, 1));
  EXPECT_THROW(unpacker.Unpack(4, out), FatalCalled);

  EXPECT_FALSE(unpacker.Open(WidePath(folder_.path() / "missing.bin"), memoryCompact()));
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_P(ImageUnpackerTest, NonAsciiPathOpens) {
  const fs::path path = folder_.Write("影絵 データ.bin", PatternFile(4, 4, 1).FileBytes());
  ImageUnpacker unpacker;
  EXPECT_TRUE(unpacker.Open(WidePath(path), memoryCompact()));
}

// A damaged header must be refused before it becomes an allocation of gigabytes (it used to be
// attempted). Under the sanitizers such an allocation would abort the test.
TEST_P(ImageUnpackerTest, AbsurdHeaderValuesAreRefusedWithoutAllocating) {
  FrameFileLayout hugeCount = PatternFile(4, 4, 1);
  hugeCount.header.frameCount = 0xFFFFFFFFu;
  FrameFileLayout hugeFrame = PatternFile(4, 4, 1);
  hugeFrame.header.width = 0x10000;
  hugeFrame.header.height = 0x10000;
  for (const auto& [name, layout] : {std::pair{"count.bin", hugeCount}, std::pair{"frame.bin", hugeFrame}}) {
    ImageUnpacker unpacker;
    EXPECT_FALSE(unpacker.Open(WidePath(folder_.Write(name, layout.FileBytes())), memoryCompact())) << name;
  }
}

TEST(ImageUnpackerModes, AbsurdDataSizeFailsResidentButOpensOnDemand) {
  FatalThrows fatalThrows;
  TempFolder folder;
  FrameFileLayout layout = PatternFile(4, 4, 2);
  layout.header.dataSize = 0xFFFFFFF0u;
  const fs::path path = folder.Write("um.bin", layout.FileBytes());
  ImageUnpacker resident, onDemand;
  EXPECT_FALSE(resident.Open(WidePath(path), false));
  ASSERT_TRUE(onDemand.Open(WidePath(path), true));
  Bytes out;
  onDemand.Unpack(1, out);
  EXPECT_EQ(out, PatternFrame(4, 4, 1));
}

TEST(ImageUnpackerModes, ShortDataAreaFailsResidentAndFailsOnDemandOnlyWhenFetched) {
  FatalThrows fatalThrows;
  TempFolder folder;
  const FrameFileLayout layout = PatternFile(8, 8, 3);
  const Bytes bytes = layout.FileBytes();
  // Cut inside the last record.
  const fs::path path = folder.Write("um.bin", Cut(bytes, bytes.size() - layout.index[2].size / 2));
  ImageUnpacker resident, onDemand;
  EXPECT_FALSE(resident.Open(WidePath(path), false));
  ASSERT_TRUE(onDemand.Open(WidePath(path), true));
  Bytes out;
  onDemand.Unpack(1, out);
  EXPECT_EQ(out, PatternFrame(8, 8, 1));
  EXPECT_THROW(onDemand.Unpack(2, out), FatalCalled);
}

TEST(ImageUnpackerModes, ResidentRecordBeyondTheDataAreaIsFatal) {
  FatalThrows fatalThrows;
  TempFolder folder;
  FrameFileLayout layout = PatternFile(4, 4, 2);
  layout.index[1].offset = layout.header.dataSize - 1;
  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(folder.Write("um.bin", layout.FileBytes())), false));
  Bytes out;
  EXPECT_THROW(unpacker.Unpack(1, out), FatalCalled);
}

// A record that the file cannot supply used to leave the previous record in the scratch buffer,
// which inflated without complaint into the previous picture. Now it is fatal, before any
// allocation of the size the entry claims.
TEST(ImageUnpackerModes, OnDemandRecordBeyondTheFileIsFatalNotAStaleFrame) {
  FatalThrows fatalThrows;
  TempFolder folder;
  FrameFileLayout layout = PatternFile(4, 4, 1);
  const FrameIndexEntry only = layout.index[0];
  layout.index.push_back({only.offset + 4096, only.size});  // same size, past the end
  layout.index.push_back({only.offset, 0xFFFFFFF0u});       // absurd size
  layout.header.frameCount = 3;
  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(folder.Write("um.bin", layout.FileBytes())), true));
  Bytes out;
  unpacker.Unpack(0, out);
  EXPECT_THROW(unpacker.Unpack(1, out), FatalCalled);
  EXPECT_THROW(unpacker.Unpack(2, out), FatalCalled);
}

TEST(ImageUnpackerModes, OnDemandShortReadAfterTheFileShrankIsFatal) {
  FatalThrows fatalThrows;
  TempFolder folder;
  const FrameFileLayout layout = PatternFile(4, 4, 2);
  const fs::path path = folder.Write("um.bin", layout.FileBytes());
  ImageUnpacker unpacker;
  ASSERT_TRUE(unpacker.Open(WidePath(path), true));
  Bytes out;
  unpacker.Unpack(1, out);
  // The file loses its last record while open: the read itself comes back short.
  fs::resize_file(path, fs::file_size(path) - layout.index[1].size);
  unpacker.Unpack(0, out);
  EXPECT_EQ(out, PatternFrame(4, 4, 0));
  try {
    unpacker.Unpack(1, out);
    FAIL() << "a short read must not decode";
  } catch (const FatalCalled& fatal) {
    EXPECT_STREQ(fatal.reason.c_str(), "short read of frame record");
  }
}
}  // namespace

namespace {
TEST(ImageUnpackerFailedOpen, FetchAfterAFailedOpenIsFatal) {
  FatalThrows fatalThrows;
  TempFolder folder;
  FrameFileLayout layout = PatternFile(4, 4, 1);
  layout.header.frameCount = 1000;  // an index the file cannot hold
  ImageUnpacker unpacker;
  ASSERT_FALSE(unpacker.Open(WidePath(folder.Write("um.bin", layout.FileBytes())), true));
  Bytes out;
  EXPECT_THROW(unpacker.Unpack(0, out), FatalCalled);
}
}  // namespace
