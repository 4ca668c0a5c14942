#include "render/EffectShaders.h"

namespace {
constexpr uint32_t kEffectTag = 0xFEFF0901;  // fx_2_0
constexpr uint32_t kVertexShaderState = 0x92;
constexpr uint32_t kPixelShaderState = 0x93;
constexpr uint32_t kShaderBytecode = 0;  // resource usage
constexpr uint32_t kEndToken = 0x0000FFFF;
constexpr uint32_t kNoState = 0xFFFFFFFF;

uint32_t WordAt(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Little-endian words one after another; once anything runs past the end, every read fails.
class WordReader {
 public:
  WordReader(const uint8_t* data, size_t size, size_t at) : data_(data), size_(size), at_(at), ok_(at <= size) {}

  uint32_t Word() {
    if (!ok_ || size_ - at_ < 4) return Fail();
    const uint32_t w = WordAt(data_ + at_);
    at_ += 4;
    return w;
  }
  void SkipWords(uint64_t count) {
    if (!ok_ || count > (size_ - at_) / 4) {
      Fail();
      return;
    }
    at_ += static_cast<size_t>(count) * 4;
  }
  // A size word, then that many bytes padded to 4; the bytes' start, or null.
  const uint8_t* SizedBytes(uint32_t& byteCount) {
    byteCount = Word();
    const uint64_t padded = (uint64_t{byteCount} + 3) / 4 * 4;
    if (!ok_ || padded > size_ - at_) {
      Fail();
      return nullptr;
    }
    const uint8_t* bytes = data_ + at_;
    at_ += static_cast<size_t>(padded);
    return bytes;
  }
  bool Ok() const { return ok_; }

 private:
  uint32_t Fail() {
    ok_ = false;
    return 0;
  }

  const uint8_t* data_;
  size_t size_;
  size_t at_;
  bool ok_;
};

// What the records point at in the data block (names, type definitions, values), checked to lie
// inside it before anyone reads them.
class DataBlock {
 public:
  DataBlock(const uint8_t* data, uint32_t size) : data_(data), size_(size) {}

  // A type definition (its five leading words) and a value word at these offsets.
  void NoteTypedValue(uint32_t typeOffset, uint32_t valueOffset) {
    if (!Holds(typeOffset, 5 * 4) || !Holds(valueOffset, 4)) whole_ = false;
  }
  // A name: offset 0 (none), or a length that counts the closing NUL, then the characters.
  void NoteName(uint32_t offset) {
    if (offset != 0 && !Text(offset)) whole_ = false;
  }
  bool NameEquals(uint32_t offset, std::string_view wanted) const {
    const uint8_t* text = Text(offset);
    return text && WordAt(data_ + offset) == wanted.size() + 1 &&
           std::string_view(reinterpret_cast<const char*>(text), wanted.size()) == wanted;
  }
  bool Whole() const { return whole_; }

 private:
  bool Holds(uint32_t offset, uint32_t bytes) const {
    return offset % 4 == 0 && offset <= size_ && size_ - offset >= bytes;
  }
  const uint8_t* Text(uint32_t offset) const {
    if (!Holds(offset, 4)) return nullptr;
    const uint32_t length = WordAt(data_ + offset);
    if (length == 0 || length > size_ - offset - 4 || data_[offset + 4 + length - 1] != 0) return nullptr;
    return data_ + offset + 4;
  }

  const uint8_t* data_;
  uint32_t size_;
  bool whole_ = true;
};

// Annotation records: a type and a value offset each.
void ReadAnnotations(WordReader& r, DataBlock& block) {
  const uint32_t count = r.Word();
  for (uint32_t i = 0; i < count && r.Ok(); ++i) {
    const uint32_t type = r.Word();
    block.NoteTypedValue(type, r.Word());
  }
}

std::vector<uint32_t> Words(const uint8_t* bytes, uint32_t byteCount) {
  std::vector<uint32_t> words(byteCount / 4);
  for (size_t i = 0; i < words.size(); ++i) words[i] = WordAt(bytes + 4 * i);
  return words;
}

// Where the wanted pass's shaders are: technique and pass index, and the state index of each.
struct PassShaderStates {
  uint32_t technique = kNoState;
  uint32_t pass = 0;
  uint32_t vertexState = kNoState;
  uint32_t pixelState = kNoState;
};
}  // namespace

bool IsCompleteShader(const std::vector<uint32_t>& tokens, uint16_t kind) {
  if (tokens.size() < 2) return false;
  const uint32_t version = tokens[0];
  if ((version >> 16) != kind || ((version >> 8) & 0xFF) < 2) return false;
  size_t i = 1;
  while (i < tokens.size()) {
    const uint32_t token = tokens[i];
    if (token == kEndToken) return i == tokens.size() - 1;
    // A comment carries its length in bits 16-30, an instruction its operand count in bits 24-27.
    const uint32_t length = (token & 0xFFFF) == 0xFFFE ? (token >> 16) & 0x7FFF : (token >> 24) & 0xF;
    i += 1 + static_cast<size_t>(length);
  }
  return false;
}

std::optional<EffectShaders> FindPassShaders(const uint8_t* container, size_t size, std::string_view technique,
                                             uint32_t pass) {
  if (!container || size < 8 || WordAt(container) != kEffectTag) return std::nullopt;
  const uint32_t blockSize = WordAt(container + 4);
  if (blockSize > size - 8) return std::nullopt;
  DataBlock block(container + 8, blockSize);
  WordReader r(container, size, 8 + static_cast<size_t>(blockSize));

  const uint32_t parameters = r.Word();
  const uint32_t techniques = r.Word();
  r.Word();  // the shader count, which readers skip
  r.Word();  // the object count
  for (uint32_t i = 0; i < parameters && r.Ok(); ++i) {
    const uint32_t type = r.Word();
    block.NoteTypedValue(type, r.Word());
    r.Word();  // flags
    ReadAnnotations(r, block);
  }

  PassShaderStates wanted;
  for (uint32_t t = 0; t < techniques && r.Ok(); ++t) {
    const uint32_t name = r.Word();
    block.NoteName(name);
    const bool named = block.NameEquals(name, technique) && wanted.technique == kNoState;
    ReadAnnotations(r, block);
    const uint32_t passes = r.Word();
    for (uint32_t p = 0; p < passes && r.Ok(); ++p) {
      block.NoteName(r.Word());
      ReadAnnotations(r, block);
      const uint32_t states = r.Word();
      for (uint32_t s = 0; s < states && r.Ok(); ++s) {
        const uint32_t operation = r.Word();
        r.Word();  // index
        const uint32_t type = r.Word();
        block.NoteTypedValue(type, r.Word());
        if (!named || p != pass) continue;
        wanted.technique = t;
        wanted.pass = p;
        if (operation == kVertexShaderState && wanted.vertexState == kNoState) wanted.vertexState = s;
        if (operation == kPixelShaderState && wanted.pixelState == kNoState) wanted.pixelState = s;
      }
    }
  }
  if (wanted.vertexState == kNoState || wanted.pixelState == kNoState) return std::nullopt;

  const uint32_t strings = r.Word();
  const uint32_t resources = r.Word();
  for (uint32_t i = 0; i < strings && r.Ok(); ++i) {
    r.Word();  // object id
    uint32_t ignored;
    r.SizedBytes(ignored);
  }
  EffectShaders shaders;
  for (uint32_t i = 0; i < resources && r.Ok(); ++i) {
    const uint32_t techniqueIndex = r.Word();
    const uint32_t passIndex = r.Word();
    r.Word();  // element
    const uint32_t stateIndex = r.Word();
    const uint32_t usage = r.Word();
    uint32_t byteCount = 0;
    const uint8_t* bytes = r.SizedBytes(byteCount);
    if (!bytes || usage != kShaderBytecode || techniqueIndex != wanted.technique || passIndex != wanted.pass ||
        byteCount % 4 != 0) {
      continue;
    }
    if (stateIndex == wanted.vertexState && shaders.vertexShader.empty())
      shaders.vertexShader = Words(bytes, byteCount);
    if (stateIndex == wanted.pixelState && shaders.pixelShader.empty()) shaders.pixelShader = Words(bytes, byteCount);
  }
  if (!r.Ok() || !block.Whole() || !IsCompleteShader(shaders.vertexShader, 0xFFFE) ||
      !IsCompleteShader(shaders.pixelShader, 0xFFFF)) {
    return std::nullopt;
  }
  return shaders;
}
