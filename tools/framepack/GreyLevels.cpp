#include "tools/framepack/GreyLevels.h"

#include "tools/framepack/CommandLine.h"
#include "tools/framepack/ToolError.h"

GreyLevels ParseGreyLevels(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) throw ToolError("bad levels '" + text + "' (expected LOW:HIGH)");
  const uint32_t low = ParseCount(text.substr(0, colon), "low level");
  const uint32_t high = ParseCount(text.substr(colon + 1), "high level");
  if (low >= high || high > 255) throw ToolError("levels '" + text + "' must satisfy 0 <= LOW < HIGH <= 255");
  return {static_cast<uint8_t>(low), static_cast<uint8_t>(high)};
}

void ApplyGreyLevels(const GreyLevels& levels, uint8_t* pixels, size_t count) {
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) {
    double t = (v - levels.low) / double(levels.high - levels.low);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const double smooth = t * t * (3 - 2 * t);
    table[v] = static_cast<uint8_t>(smooth * 255 + 0.5);
  }
  for (size_t i = 0; i < count; ++i) pixels[i] = table[pixels[i]];
}
