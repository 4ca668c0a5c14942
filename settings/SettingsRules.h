#pragma once
// The rules of the settings store that need no operating system: how values read from the
// settings file are brought into range, and how the recent-file lists are kept.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace settings_rules {

// Each recent list holds at most this many entries, stored under the key stem plus one digit.
constexpr std::size_t kMaxRecentEntries = 10;

// A percentage read as an integer: its low byte is kept, and a byte above 100 becomes 100
// (300 gives 44, -1 gives 100).
uint8_t PercentFromStored(int stored);

// The renderer choice read as an integer: above 1 becomes 1; 0, 1 and negative values stay
// (every value other than 0 means VMR-9 to its users).
int32_t VideoRendererFromStored(int32_t stored);

// Builds a recent list from the values of its ten keys, in key order, and the path loaded with
// it: empty values are skipped, the path is put in front unless it is already listed (also when
// it is empty), later duplicates are dropped and the list is cut to its maximum length.
std::vector<std::wstring> RecentListFromStored(const std::vector<std::wstring>& storedValues, const std::wstring& path);

// A path has just been chosen: it moves (or is added) to the front, and the list is cut to its
// maximum length.
void MoveToFrontOfRecent(std::vector<std::wstring>& recent, const std::wstring& path);

// The key of one recent entry: the stem followed by the entry's position ("recent0").
std::wstring RecentKeyName(const std::wstring& stem, std::size_t position);

}  // namespace settings_rules
