#pragma once
// Grey pictures as binary PGM (P5), the exchange format of the packer.
#include <cstdint>
#include <string>
#include <vector>

struct GreyImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;  // top row first
};

// 8-bit and 16-bit maxima are scaled to 0..255. `name` only labels the error messages.
GreyImage ParsePgm(const std::vector<uint8_t>& bytes, const std::string& name);
std::vector<uint8_t> EncodePgm(const GreyImage& image);
