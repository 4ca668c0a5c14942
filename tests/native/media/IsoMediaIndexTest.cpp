#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "media/IsoMediaIndex.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutBigEndian(Bytes& out, uint64_t value, int count) {
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A box of that type with payload bytes of filler; largeSize writes the 64-bit size form,
// toEnd the size 0 that means "to the end of the file".
Bytes Box(const char* type, uint64_t payload, bool largeSize = false, bool toEnd = false) {
  Bytes box;
  const uint64_t size = payload + (largeSize ? 16 : 8);
  PutBigEndian(box, toEnd ? 0 : largeSize ? 1 : size, 4);
  box.insert(box.end(), type, type + 4);
  if (largeSize) PutBigEndian(box, size, 8);
  box.resize(box.size() + payload, 0xAB);
  return box;
}

Bytes File(std::initializer_list<Bytes> boxes) {
  Bytes file;
  for (const Bytes& box : boxes) file.insert(file.end(), box.begin(), box.end());
  return file;
}

struct Walk {
  IsoMediaIndex index;
  uint64_t bytesRead;
};

Walk WalkOf(const Bytes& file, uint64_t claimedSize) {
  uint64_t bytesRead = 0;
  const IsoMediaIndex index = FindIsoMediaIndex(claimedSize, [&](uint64_t offset, uint8_t* buffer, size_t count) {
    if (offset >= file.size()) return size_t{0};
    const size_t got = static_cast<size_t>(std::min<uint64_t>(count, file.size() - offset));
    std::memcpy(buffer, file.data() + offset, got);
    bytesRead += got;
    return got;
  });
  return {index, bytesRead};
}
IsoMediaIndex IndexOf(const Bytes& file) { return WalkOf(file, file.size()).index; }

Bytes Cut(Bytes file, size_t size) {
  file.resize(size);
  return file;
}

// As encoders write them: the movie box after the media data, or before it ("fast start").
TEST(IsoMediaIndex, AMovieBoxWithinTheFileIsFoundWhereverItIsAndCutOffOnesAreMissing) {
  const Bytes atEnd = File({Box("ftyp", 24), Box("free", 0), Box("mdat", 39460), Box("moov", 3538)});
  EXPECT_EQ(IndexOf(atEnd), IsoMediaIndex::Present);
  EXPECT_EQ(IndexOf(Cut(atEnd, atEnd.size() / 3)), IsoMediaIndex::Missing) << "cut inside the media data";
  EXPECT_EQ(IndexOf(Cut(atEnd, atEnd.size() - 1)), IsoMediaIndex::Missing) << "cut inside the movie box";
  EXPECT_EQ(IndexOf(Cut(atEnd, atEnd.size() - 3538 - 4)), IsoMediaIndex::Missing) << "cut inside its header";

  const Bytes fastStart = File({Box("ftyp", 24), Box("moov", 3538), Box("mdat", 39460)});
  EXPECT_EQ(IndexOf(Cut(fastStart, fastStart.size() / 2)), IsoMediaIndex::Present)
      << "the index is whole: what there is of the media plays";

  const Bytes quickTime = File({Box("wide", 0), Box("mdat", 5000), Box("moov", 700)});
  EXPECT_EQ(IndexOf(quickTime), IsoMediaIndex::Present);
}

TEST(IsoMediaIndex, SixtyFourBitAndToTheEndSizesAreFollowed) {
  EXPECT_EQ(IndexOf(File({Box("ftyp", 16), Box("mdat", 3000, true), Box("moov", 100)})), IsoMediaIndex::Present);
  EXPECT_EQ(IndexOf(File({Box("ftyp", 16), Box("mdat", 3000), Box("moov", 100, false, true)})), IsoMediaIndex::Present);
  EXPECT_EQ(IndexOf(File({Box("ftyp", 16), Box("mdat", 3000, false, true)})), IsoMediaIndex::Missing)
      << "media data to the end, no index after it";
}

// Only the boxes' headers are read: a film of several gigabytes is not read through.
TEST(IsoMediaIndex, OnlyHeadersAreReadAndSizesBeyondTheFileNeverOverflow) {
  const uint64_t fourGigabytes = 4ull << 30;
  Bytes film = File({Box("ftyp", 16)});
  PutBigEndian(film, 1, 4);
  film.insert(film.end(), {'m', 'd', 'a', 't'});
  PutBigEndian(film, fourGigabytes, 8);
  const Walk walk = WalkOf(film, fourGigabytes + 24 + 100);  // the rest lies beyond what the reader has
  EXPECT_EQ(walk.index, IsoMediaIndex::Missing);
  EXPECT_LE(walk.bytesRead, 3u * 16) << "three headers at most";

  for (const uint64_t huge : {~0ull, ~0ull - 7, 1ull << 63}) {
    Bytes file = File({Box("ftyp", 16)});
    PutBigEndian(file, 1, 4);
    file.insert(file.end(), {'m', 'd', 'a', 't'});
    PutBigEndian(file, huge, 8);
    EXPECT_EQ(IndexOf(file), IsoMediaIndex::Missing) << huge;
  }
  Bytes tooSmall = File({Box("ftyp", 16)});
  PutBigEndian(tooSmall, 4, 4);  // smaller than its own header
  tooSmall.insert(tooSmall.end(), {'m', 'o', 'o', 'v'});
  EXPECT_EQ(IndexOf(tooSmall), IsoMediaIndex::Missing);
}

// Other kinds of files (and nothing at all) are the system reader's to judge.
TEST(IsoMediaIndex, FilesThatAreNotIsoMediaAreLeftToTheReader) {
  const std::string texts[] = {"", "ID3\x04", "\xFF\xF1\x50\x80\x02\x1F\xFC", "RIFF\x24\x00\x00\x00WAVEfmt ",
                               "this is not a film at all, only words"};
  for (const std::string& text : texts) {
    EXPECT_EQ(IndexOf(Bytes(text.begin(), text.end())), IsoMediaIndex::Unknown) << text;
  }
  EXPECT_EQ(IndexOf(Cut(File({Box("ftyp", 24)}), 7)), IsoMediaIndex::Unknown) << "shorter than one header";
}

}  // namespace
