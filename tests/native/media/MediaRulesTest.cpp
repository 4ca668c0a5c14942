#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "media/MediaRules.h"

namespace {

TEST(PinSelection, DirectionAndConnectionBitsFilterIndependentlyAndBothBitsOfAPairSelectNothing) {
  struct Case {
    uint32_t flags;
    bool inputUnconnected, inputConnected, outputUnconnected, outputConnected;
  };
  const Case cases[] = {
      {PinAll, true, true, true, true},
      {PinInput, true, true, false, false},
      {PinOutput, false, false, true, true},
      {PinInput | PinConnected, false, true, false, false},
      {PinInput | PinUnconnected, true, false, false, false},
      {PinOutput | PinConnected, false, false, false, true},
      {PinOutput | PinUnconnected, false, false, true, false},
      {PinConnected, false, true, false, true},
      {PinInput | PinOutput, false, false, false, false},
      {PinConnected | PinUnconnected, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    EXPECT_EQ(PinSelected(c.flags, false, false), c.inputUnconnected);
    EXPECT_EQ(PinSelected(c.flags, false, true), c.inputConnected);
    EXPECT_EQ(PinSelected(c.flags, true, false), c.outputUnconnected);
    EXPECT_EQ(PinSelected(c.flags, true, true), c.outputConnected);
  }
}

TEST(VolumeAttenuation, FollowsTheFixedFormulaRoundingIncluded) {
  EXPECT_EQ(VolumeAttenuation(100), 0);
  EXPECT_EQ(VolumeAttenuation(50), -5000);
  EXPECT_EQ(VolumeAttenuation(0), -10000);
  // 57 / 100.0 * -10000.0 is -5699.99..., truncated to -5699: one more than the exact -4300.
  EXPECT_EQ(VolumeAttenuation(57), -4301);
  EXPECT_EQ(VolumeAttenuation(69), -3101);
  EXPECT_EQ(VolumeAttenuation(80), -2000);
  for (int volume = 1; volume <= 100; ++volume) {
    EXPECT_GT(VolumeAttenuation(static_cast<uint8_t>(volume)), VolumeAttenuation(static_cast<uint8_t>(volume - 1)));
  }
}

TEST(PosterTime, ValidSampleTimesAreTakenElseTheStampCounts) {
  constexpr int64_t fresh = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(NextPosterTime(fresh, 0, 12345), fresh + 1) << "the first frame without a time after a fresh poster";
  EXPECT_EQ(NextPosterTime(fresh, kPresentationTimeValid, 12345), 12345);
  EXPECT_EQ(NextPosterTime(400000, kPresentationTimeValid | 0x01, 0), 0) << "other flags do not matter";
  EXPECT_EQ(NextPosterTime(41, 0x01 | 0x04, 999), 42);
  EXPECT_EQ(NextPosterTime(std::numeric_limits<int64_t>::max(), 0, 0), fresh) << "64-bit wrap";
}

TEST(SourceCandidates, MediaObjectsAreNeverTriedAndInterVideoOnlyWithoutADebugger) {
  const std::wstring dmo = L"@device:dmo:{94297043-BD82-4DFD-B0DE-8177739C6D20}{57F2DB8B-E6BB-4513-9D43-DCD2A6593125}";
  const std::wstring source =
      L"@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{E436EBB5-524F-11CE-9F53-0020AF0BA770}";
  EXPECT_TRUE(SkippedSourceCandidate(dmo, L"Some Decoder", false));
  EXPECT_FALSE(SkippedSourceCandidate(source, L"File Source (Async.)", false));
  EXPECT_FALSE(SkippedSourceCandidate(source, L"InterVideo Source", false));
  EXPECT_TRUE(SkippedSourceCandidate(source, L"InterVideo Source", true));
  EXPECT_TRUE(SkippedSourceCandidate(source, L"The InterVideo One", true)) << "anywhere in the name";
  EXPECT_FALSE(SkippedSourceCandidate(source, L"intervideo source", true)) << "case-sensitive";
  EXPECT_FALSE(SkippedSourceCandidate(source, L"", true)) << "a name that could not be read never matches";
  EXPECT_FALSE(SkippedSourceCandidate(L"@DEVICE:DMO:x", L"", false)) << "case-sensitive";
}

}  // namespace
