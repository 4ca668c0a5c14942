// The effect container and its shaders, checked against the rules D3DX relies on when it reads
// them (the Wine tests load and run the result on a real device).
#include "tools/fxbuild/EffectWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t at) {
  uint32_t w;
  std::memcpy(&w, bytes.data() + at, 4);
  return w;
}

TEST(EffectWriter, HeaderSizeLeadsToTheRecords) {
  const std::vector<uint8_t> fx = WriteShadowEffect();
  ASSERT_GE(fx.size(), 24u);
  EXPECT_EQ(fx.size() % 4, 0u);
  EXPECT_EQ(WordAt(fx, 0), 0xFEFF0901u);
  const size_t records = 8 + WordAt(fx, 4);
  ASSERT_LT(records + 16, fx.size());
  EXPECT_EQ(WordAt(fx, 8), 0u);             // offset 0 is "no name"
  EXPECT_EQ(WordAt(fx, records), 4u);       // parameters
  EXPECT_EQ(WordAt(fx, records + 4), 1u);   // techniques
  EXPECT_EQ(WordAt(fx, records + 12), 5u);  // objects
}

TEST(EffectWriter, NamesTheProgramLooksFor) {
  const std::vector<uint8_t> fx = WriteShadowEffect();
  const std::string text(fx.begin(), fx.end());
  for (const char* name : {"AlphaBleend", "Pass_0", "shadowAlpha", "bgAlpha", "myTex0", "Tex0"}) {
    EXPECT_NE(text.find(std::string(name) + '\0'), std::string::npos) << name;
  }
}

void ExpectWellFormedShader(const std::vector<uint32_t>& tokens, uint32_t version) {
  ASSERT_GT(tokens.size(), 3u);
  EXPECT_EQ(tokens.front(), version);
  EXPECT_EQ(tokens[1] & 0xFFFFu, 0xFFFEu);  // the constant table comes first
  EXPECT_EQ(tokens[2], 0x42415443u);
  const size_t afterTable = 2 + (tokens[1] >> 16);
  EXPECT_EQ(tokens.back(), 0x0000FFFFu);
  // D3DX scans for the table and the end: no data word after it may look like either.
  for (size_t i = afterTable; i + 1 < tokens.size(); ++i) {
    EXPECT_NE(tokens[i], 0x0000FFFFu) << i;
    EXPECT_NE(tokens[i] & 0xFFFFu, 0xFFFEu) << i;
  }
}

TEST(ShaderAssembler, BothShadersAreTableFirstAndEndOnce) {
  ExpectWellFormedShader(AssembleVertexShader(), 0xFFFE0200u);
  ExpectWellFormedShader(AssemblePixelShader(), 0xFFFF0200u);
}
}  // namespace
