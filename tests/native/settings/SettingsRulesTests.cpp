#include "settings/SettingsRules.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <string>
#include <vector>

using namespace settings_rules;
using List = std::vector<std::wstring>;

namespace {
// Ten key values with only the given ones filled in, the rest empty (absent keys).
List StoredKeys(std::initializer_list<std::wstring> values) {
  List keys(values);
  keys.resize(kMaxRecentEntries);
  return keys;
}

List Numbered(const std::wstring& prefix, int count) {
  List list;
  for (int i = 0; i < count; ++i) list.push_back(prefix + std::to_wstring(i));
  return list;
}
}  // namespace

TEST(PercentFromStored, KeepsTheLowByteThenLimitsTo100) {
  EXPECT_EQ(PercentFromStored(0), 0);
  EXPECT_EQ(PercentFromStored(57), 57);
  EXPECT_EQ(PercentFromStored(100), 100);
  EXPECT_EQ(PercentFromStored(101), 100);
  EXPECT_EQ(PercentFromStored(150), 100);
  EXPECT_EQ(PercentFromStored(255), 100);
  EXPECT_EQ(PercentFromStored(256), 0);
  EXPECT_EQ(PercentFromStored(300), 44);
  EXPECT_EQ(PercentFromStored(-1), 100);
  EXPECT_EQ(PercentFromStored(-256), 0);
  EXPECT_EQ(PercentFromStored(INT32_MIN), 0);
}

TEST(VideoRendererFromStored, LimitsOnlyFromAbove) {
  EXPECT_EQ(VideoRendererFromStored(0), 0);
  EXPECT_EQ(VideoRendererFromStored(1), 1);
  EXPECT_EQ(VideoRendererFromStored(5), 1);
  EXPECT_EQ(VideoRendererFromStored(INT32_MAX), 1);
  EXPECT_EQ(VideoRendererFromStored(-3), -3);
}

TEST(RecentListFromStored, NoKeysAndNoPathGiveOneEmptyEntry) {
  EXPECT_EQ(RecentListFromStored(StoredKeys({}), L""), List{L""});
}

TEST(RecentListFromStored, SkipsEmptyKeysDropsDuplicatesAndLeavesAListedPathInPlace) {
  const List keys = StoredKeys({L"C:\\first.wav", L"", L"C:\\second.wav", L"C:\\first.wav"});
  EXPECT_EQ(RecentListFromStored(keys, L"C:\\second.wav"), (List{L"C:\\first.wav", L"C:\\second.wav"}));
  EXPECT_EQ(RecentListFromStored(keys, L"C:\\third.wav"),
            (List{L"C:\\third.wav", L"C:\\first.wav", L"C:\\second.wav"}));
}

TEST(RecentListFromStored, ANewPathInFrontOfTenEntriesPushesTheLastOneOut) {
  List expected = Numbered(L"file", 9);
  expected.insert(expected.begin(), L"new");
  EXPECT_EQ(RecentListFromStored(Numbered(L"file", 10), L"new"), expected);
}

TEST(RecentListFromStored, DuplicatesDoNotCountTowardsTheLimit) {
  // Three saved entries followed by seven stale keys that partly repeat them.
  const List keys = {L"a", L"b", L"c", L"a", L"d", L"b", L"e", L"f", L"g", L"h"};
  EXPECT_EQ(RecentListFromStored(keys, L"a"), (List{L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h"}));
}

TEST(RecentListFromStored, ComparesCaseSensitively) {
  const List keys = StoredKeys({L"C:\\Media\\Song.wav", L"c:\\media\\song.wav"});
  EXPECT_EQ(RecentListFromStored(keys, L"C:\\MEDIA\\SONG.WAV"),
            (List{L"C:\\MEDIA\\SONG.WAV", L"C:\\Media\\Song.wav", L"c:\\media\\song.wav"}));
}

TEST(MoveToFrontOfRecent, MovesAListedPathWithoutChangingTheLength) {
  List recent = Numbered(L"file", 6);
  MoveToFrontOfRecent(recent, L"file4");
  EXPECT_EQ(recent, (List{L"file4", L"file0", L"file1", L"file2", L"file3", L"file5"}));
}

TEST(MoveToFrontOfRecent, ANewPathOnAFullListDropsTheLastEntry) {
  List recent = Numbered(L"file", 10);
  MoveToFrontOfRecent(recent, L"new");
  ASSERT_EQ(recent.size(), kMaxRecentEntries);
  EXPECT_EQ(recent.front(), L"new");
  EXPECT_EQ(recent.back(), L"file8");
}

TEST(MoveToFrontOfRecent, AcceptsAnEmptyPathAndCaseVariants) {
  List recent = {L"Song.wav"};
  MoveToFrontOfRecent(recent, L"song.wav");
  MoveToFrontOfRecent(recent, L"");
  EXPECT_EQ(recent, (List{L"", L"song.wav", L"Song.wav"}));
}
