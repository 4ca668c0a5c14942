// The shaders read back out of the compiled effect that fxbuild writes, and what a damaged effect
// resource gives: never a read outside its bytes (the sanitizers watch), never a shader the
// device would walk past its end.
#include "render/EffectShaders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tools/fxbuild/EffectWriter.h"

namespace {
std::optional<EffectShaders> Read(const std::vector<uint8_t>& fx, const char* technique = "AlphaBleend",
                                  uint32_t pass = 0) {
  return FindPassShaders(fx.data(), fx.size(), technique, pass);
}

TEST(EffectShaders, ThePassShadersComeBackAsAssembled) {
  const auto shaders = Read(WriteShadowEffect());
  ASSERT_TRUE(shaders);
  EXPECT_EQ(shaders->vertexShader, AssembleVertexShader());
  EXPECT_EQ(shaders->pixelShader, AssemblePixelShader());
  EXPECT_FALSE(Read(WriteShadowEffect(), "AlphaBlend")) << "another technique";
  EXPECT_FALSE(Read(WriteShadowEffect(), "AlphaBleen")) << "a prefix of the name";
  EXPECT_FALSE(Read(WriteShadowEffect(), "AlphaBleend", 1)) << "a pass it does not have";
}

TEST(EffectShaders, EveryTruncationAndEveryDamagedByteIsReadSafely) {
  const std::vector<uint8_t> fx = WriteShadowEffect();
  for (size_t size = 0; size < fx.size(); ++size) {
    // Exactly sized copies, so that any read past the end is caught.
    const std::vector<uint8_t> cut(fx.begin(), fx.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(FindPassShaders(cut.empty() ? nullptr : cut.data(), cut.size(), "AlphaBleend", 0)) << size;
  }
  for (size_t at = 0; at < fx.size(); ++at) {
    for (const uint8_t damage : {uint8_t{0xFF}, uint8_t{0x80}, uint8_t{0x01}}) {
      std::vector<uint8_t> bad = fx;
      bad[at] ^= damage;
      const auto shaders = Read(bad);
      if (!shaders) continue;
      // What still reads is whole: a damaged instruction word may pass, a stream without its end not.
      EXPECT_TRUE(IsCompleteShader(shaders->vertexShader, 0xFFFE)) << at;
      EXPECT_TRUE(IsCompleteShader(shaders->pixelShader, 0xFFFF)) << at;
    }
  }
  std::vector<uint8_t> huge = fx;
  const uint32_t records = 8 + (fx[4] | fx[5] << 8 | fx[6] << 16 | uint32_t{fx[7]} << 24);
  for (size_t word = 0; word < 2; ++word) {
    std::memset(&huge[records + 4 * word], 0xFF, 4);  // four billion parameters, or techniques
    EXPECT_FALSE(Read(huge)) << word;
    std::memcpy(&huge[records + 4 * word], &fx[records + 4 * word], 4);
  }
}

TEST(EffectShaders, OnlyAStreamThatEndsOnItsLastTokenIsComplete) {
  const std::vector<uint32_t> ps = AssemblePixelShader();
  EXPECT_TRUE(IsCompleteShader(ps, 0xFFFF));
  EXPECT_FALSE(IsCompleteShader(ps, 0xFFFE)) << "a pixel shader is not a vertex shader";
  EXPECT_FALSE(IsCompleteShader({ps.begin(), ps.end() - 1}, 0xFFFF)) << "no end token";
  std::vector<uint32_t> trailing = ps;
  trailing.push_back(0);
  EXPECT_FALSE(IsCompleteShader(trailing, 0xFFFF)) << "words after the end";
  std::vector<uint32_t> longComment = ps;
  longComment[1] = 0xFFFE | (0x7FFFu << 16);  // the constant table claims to run far past the end
  EXPECT_FALSE(IsCompleteShader(longComment, 0xFFFF));
  std::vector<uint32_t> model1 = ps;
  model1[0] = 0xFFFF0104;
  EXPECT_FALSE(IsCompleteShader(model1, 0xFFFF)) << "shader model 1 has no instruction lengths";
  EXPECT_FALSE(IsCompleteShader({}, 0xFFFF));
}
}  // namespace
