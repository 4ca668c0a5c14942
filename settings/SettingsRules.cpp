#include "settings/SettingsRules.h"

#include <algorithm>

namespace settings_rules {
namespace {
constexpr uint8_t kMaxPercent = 100;

void CutToMaximumLength(std::vector<std::wstring>& list) {
  if (list.size() > kMaxRecentEntries) list.resize(kMaxRecentEntries);
}
}  // namespace

uint8_t PercentFromStored(int stored) {
  const auto lowByte = static_cast<uint8_t>(static_cast<unsigned>(stored) & 0xFFu);
  return std::min(lowByte, kMaxPercent);
}

int32_t VideoRendererFromStored(int32_t stored) { return std::min<int32_t>(stored, 1); }

std::vector<std::wstring> RecentListFromStored(const std::vector<std::wstring>& storedValues,
                                               const std::wstring& path) {
  std::vector<std::wstring> candidates;
  for (const std::wstring& value : storedValues) {
    if (!value.empty()) candidates.push_back(value);
  }
  if (std::find(candidates.begin(), candidates.end(), path) == candidates.end()) {
    candidates.insert(candidates.begin(), path);
  }

  std::vector<std::wstring> list;
  for (std::wstring& candidate : candidates) {
    if (std::find(list.begin(), list.end(), candidate) == list.end()) list.push_back(std::move(candidate));
  }
  CutToMaximumLength(list);
  return list;
}

void MoveToFrontOfRecent(std::vector<std::wstring>& recent, const std::wstring& path) {
  const auto existing = std::find(recent.begin(), recent.end(), path);
  if (existing != recent.end()) recent.erase(existing);
  recent.insert(recent.begin(), path);
  CutToMaximumLength(recent);
}

std::wstring RecentKeyName(const std::wstring& stem, std::size_t position) { return stem + std::to_wstring(position); }

}  // namespace settings_rules
