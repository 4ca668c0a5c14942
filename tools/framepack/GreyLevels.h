#pragma once
// Maps the greys of ordinary video to shadow-play frames: everything at or below `low` becomes
// solid black, at or above `high` white, and the greys between a smooth ramp, so the shadows get
// clean soft edges instead of noisy mid-tones.
#include <cstddef>
#include <cstdint>
#include <string>

struct GreyLevels {
  uint8_t low = 0;
  uint8_t high = 255;
};

GreyLevels ParseGreyLevels(const std::string& text);  // "LOW:HIGH", LOW < HIGH
void ApplyGreyLevels(const GreyLevels& levels, uint8_t* pixels, size_t count);
