#pragma once
// Little-endian writers for the effect container and shader tokens.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

class ByteWriter {
 public:
  void Word(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>(value >> shift));
  }
  void Half(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
  }
  void Bytes(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }
  void PadTo4() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  void Append(const ByteWriter& other) { bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end()); }
  // Overwrites a word already written (offsets that are known only later).
  void PatchWord(size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(value >> (8 * i));
  }
  size_t Size() const { return bytes_.size(); }
  const std::vector<uint8_t>& Data() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

class WordWriter {
 public:
  void Word(uint32_t value) { words_.push_back(value); }
  void Words(std::initializer_list<uint32_t> values) { words_.insert(words_.end(), values); }
  void Append(const ByteWriter& aligned) {
    const auto& b = aligned.Data();
    for (size_t i = 0; i + 3 < b.size(); i += 4) {
      words_.push_back(uint32_t{b[i]} | uint32_t{b[i + 1]} << 8 | uint32_t{b[i + 2]} << 16 | uint32_t{b[i + 3]} << 24);
    }
  }
  std::vector<uint32_t> TakeWords() { return std::move(words_); }

 private:
  std::vector<uint32_t> words_;
};
