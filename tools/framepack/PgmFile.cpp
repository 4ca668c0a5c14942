#include "tools/framepack/PgmFile.h"

#include <cctype>

#include "tools/framepack/ToolError.h"

namespace {
class PgmHeaderReader {
 public:
  PgmHeaderReader(const std::vector<uint8_t>& bytes, const std::string& name) : bytes_(bytes), name_(name) {}

  uint32_t Number(const char* what) {
    SkipSpaceAndComments();
    uint64_t value = 0;
    size_t digits = 0;
    while (pos_ < bytes_.size() && std::isdigit(bytes_[pos_]) && digits < 10) {
      value = value * 10 + (bytes_[pos_++] - '0');
      ++digits;
    }
    if (digits == 0 || value > 0xFFFFFFFFu) throw ToolError(name_ + ": bad PGM " + what);
    return static_cast<uint32_t>(value);
  }

  // Exactly one white-space byte separates the header from the pixels.
  size_t PixelStart() {
    if (pos_ >= bytes_.size() || !std::isspace(bytes_[pos_])) throw ToolError(name_ + ": bad PGM header");
    return pos_ + 1;
  }

 private:
  void SkipSpaceAndComments() {
    while (pos_ < bytes_.size()) {
      if (std::isspace(bytes_[pos_])) {
        ++pos_;
      } else if (bytes_[pos_] == '#') {
        while (pos_ < bytes_.size() && bytes_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  const std::vector<uint8_t>& bytes_;
  const std::string& name_;
  size_t pos_ = 2;
};
}  // namespace

GreyImage ParsePgm(const std::vector<uint8_t>& bytes, const std::string& name) {
  if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '5') {
    throw ToolError(name +
                    ": not a binary grey PGM (P5); convert PNG with: convert in.png -colorspace Gray -depth 8 out.pgm");
  }
  PgmHeaderReader header(bytes, name);
  GreyImage image;
  image.width = header.Number("width");
  image.height = header.Number("height");
  const uint32_t maximum = header.Number("maximum");
  if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
    throw ToolError(name + ": picture size out of range");
  }
  if (maximum == 0 || maximum > 65535) throw ToolError(name + ": bad PGM maximum");
  const size_t start = header.PixelStart();
  const size_t count = static_cast<size_t>(image.width) * image.height;
  const size_t sampleBytes = maximum > 255 ? 2 : 1;
  if (bytes.size() - start < count * sampleBytes) throw ToolError(name + ": PGM pixels cut short");

  image.pixels.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* sample = &bytes[start + i * sampleBytes];
    const uint32_t value = sampleBytes == 2 ? (sample[0] << 8 | sample[1]) : sample[0];
    const uint32_t clamped = value > maximum ? maximum : value;
    image.pixels[i] = static_cast<uint8_t>((clamped * 255u + maximum / 2) / maximum);
  }
  return image;
}

std::vector<uint8_t> EncodePgm(const GreyImage& image) {
  const std::string header = "P5\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
  std::vector<uint8_t> bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), image.pixels.begin(), image.pixels.end());
  return bytes;
}
