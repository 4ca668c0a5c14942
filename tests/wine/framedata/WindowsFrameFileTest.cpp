// What only the Windows reader decides: UTF-16 paths, folders, share modes, and handles left open
// (a file with an open handle cannot be deleted, which shows whether Open really let go).
#include <gtest/gtest.h>
#include <windows.h>

#include "base/UniqueHandle.h"
#include "framedata/ImageUnpacker.h"
#include "tests/fixtures/FrameFileFixture.h"

namespace fs = std::filesystem;

namespace {
class WindowsFrameFileTest : public ::testing::Test {
 protected:
  std::wstring WriteFile(const std::wstring& name, const Bytes& bytes) {
    const fs::path path = folder_.path() / name;
    {
      const UniqueHandle file(
          CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      EXPECT_NE(file.get(), INVALID_HANDLE_VALUE);
      DWORD written = 0;
      ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    return path.wstring();
  }

  // Deletes the file and writes it again: fails while any handle without delete sharing is open.
  static bool Deletable(const std::wstring& path) {
    std::vector<uint8_t> keep;
    {
      const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
      if (!file) return false;
      LARGE_INTEGER size;
      GetFileSizeEx(file.get(), &size);
      keep.resize(static_cast<size_t>(size.QuadPart));
      DWORD got = 0;
      ReadFile(file.get(), keep.data(), static_cast<DWORD>(keep.size()), &got, nullptr);
    }
    if (!DeleteFileW(path.c_str())) return false;
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), keep.data(), static_cast<DWORD>(keep.size()), &written, nullptr);
    return true;
  }

  TempFolder folder_;
  FatalThrows fatalThrows_;
  ImageUnpacker unpacker_;
  Bytes out_;
};

TEST_F(WindowsFrameFileTest, OpensAUtf16PathInBothModes) {
  const std::wstring path = WriteFile(L"\u5f71\u7d75\u30c7\u30fc\u30bf um.bin", PatternFile(16, 3, 3).FileBytes());
  for (bool memoryCompact : {false, true}) {
    ASSERT_TRUE(unpacker_.Open(path, memoryCompact));
    unpacker_.Unpack(2, out_);
    EXPECT_EQ(out_, PatternFrame(16, 3, 2));
  }
}

TEST_F(WindowsFrameFileTest, HandleIsHeldOnlyWhileOpenOnDemand) {
  const std::wstring path = WriteFile(L"um.bin", PatternFile(4, 4, 2).FileBytes());
  ASSERT_TRUE(unpacker_.Open(path, true));
  EXPECT_FALSE(Deletable(path)) << "on demand the file stays open";
  ASSERT_TRUE(unpacker_.Open(path, false));
  EXPECT_TRUE(Deletable(path)) << "memory-resident mode closes the file, and Open closed the first handle";
  ImageUnpacker other;
  ASSERT_TRUE(other.Open(path, true));
  ASSERT_TRUE(other.Open(WriteFile(L"second.bin", PatternFile(4, 4, 1).FileBytes()), true));
  EXPECT_TRUE(Deletable(path)) << "opening a second file let go of the first";
}

TEST_F(WindowsFrameFileTest, FailedOpensLeaveNoHandle) {
  const Bytes good = PatternFile(8, 4, 3).FileBytes();
  const std::vector<std::wstring> bad = {
      WriteFile(L"short-header.bin", Bytes(good.begin(), good.begin() + 15)),
      WriteFile(L"cut-index.bin", Bytes(good.begin(), good.begin() + 30)),
  };
  for (const std::wstring& path : bad) {
    for (bool memoryCompact : {false, true}) {
      EXPECT_FALSE(unpacker_.Open(path, memoryCompact));
      EXPECT_TRUE(Deletable(path));
    }
  }
  Bytes shortData = good;
  shortData.resize(shortData.size() - 4);
  const std::wstring path = WriteFile(L"short-data.bin", shortData);
  EXPECT_FALSE(unpacker_.Open(path, false));
  EXPECT_TRUE(Deletable(path));
  EXPECT_FALSE(unpacker_.Open((folder_.path() / L"missing.bin").wstring(), true));
  EXPECT_FALSE(unpacker_.Open(folder_.path().wstring(), true)) << "a folder is not a frame file";
}

TEST_F(WindowsFrameFileTest, ShareModes) {
  const std::wstring path = WriteFile(L"um.bin", PatternFile(4, 4, 1).FileBytes());
  {
    // Other readers may keep the file open.
    const UniqueHandle reader(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(unpacker_.Open(path, true));
  }
  {
    // While it is open on demand nobody can write to it (so its records cannot shrink under it).
    const UniqueHandle writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(writer.get(), INVALID_HANDLE_VALUE);
  }
  // A file someone holds exclusively cannot be opened, and that is a plain failure.
  ImageUnpacker other;
  ASSERT_TRUE(unpacker_.Open(path, false));
  const UniqueHandle exclusive(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(exclusive.get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(other.Open(path, true));
  EXPECT_FALSE(other.Open(path, false));
}

// The two mends, through the Windows reader: absurd header values are refused before any
// allocation, and a record the file cannot supply is fatal rather than a stale frame.
TEST_F(WindowsFrameFileTest, AbsurdHeaderIsRefused) {
  FrameFileLayout layout = PatternFile(4, 4, 1);
  layout.header.frameCount = 0x7FFFFFFFu;
  EXPECT_FALSE(unpacker_.Open(WriteFile(L"count.bin", layout.FileBytes()), true));
  layout = PatternFile(4, 4, 1);
  layout.header.dataSize = 0xFFFFFF00u;
  const std::wstring path = WriteFile(L"data.bin", layout.FileBytes());
  EXPECT_FALSE(unpacker_.Open(path, false));
  ASSERT_TRUE(unpacker_.Open(path, true));
  unpacker_.Unpack(0, out_);
  EXPECT_EQ(out_, PatternFrame(4, 4, 0));
}

TEST_F(WindowsFrameFileTest, RecordBeyondTheEndIsFatalNotTheStaleFrame) {
  FrameFileLayout layout = PatternFile(4, 4, 1);
  layout.index.push_back({layout.index[0].offset + 1000, layout.index[0].size});
  layout.header.frameCount = 2;
  ASSERT_TRUE(unpacker_.Open(WriteFile(L"um.bin", layout.FileBytes()), true));
  unpacker_.Unpack(0, out_);
  EXPECT_THROW(unpacker_.Unpack(1, out_), FatalCalled);
  unpacker_.Unpack(0, out_);
  EXPECT_EQ(out_, PatternFrame(4, 4, 0));
}
}  // namespace
