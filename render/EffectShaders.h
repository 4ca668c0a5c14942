#pragma once
// Reading the two shaders out of the compiled effect (an fx_2_0 container), so that the device can
// make them itself where the effect library is missing; and telling a whole container from a
// damaged one before the effect library reads it. Needs no operating system. Every count, size and
// offset of the records is checked against the bytes there are, and a shader is taken only when
// its tokens end inside its own bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

struct EffectShaders {
  std::vector<uint32_t> vertexShader;  // vs tokens, version first, end token last
  std::vector<uint32_t> pixelShader;   // ps tokens
};

// The vertex and pixel shader that pass `pass` of the technique named `technique` sets; none when
// the container is malformed or truncated (a record, name, type or value outside its bytes), the
// technique or pass is missing, or either shader is not a complete shader-model-2 (or later) token
// stream.
std::optional<EffectShaders> FindPassShaders(const uint8_t* container, size_t size, std::string_view technique,
                                             uint32_t pass);

// Tokens that a device walks without reading past them: the version token of that kind
// (0xFFFE: vertex, 0xFFFF: pixel) at shader model 2 or later, then instructions and comments whose
// lengths stay inside, up to the end token, which is the last token.
bool IsCompleteShader(const std::vector<uint32_t>& tokens, uint16_t kind);
