// The fx_2_0 container. Every offset is relative to the data block, which starts after the
// two header words; the parameter, technique and resource records follow the block.
#include "tools/fxbuild/EffectWriter.h"

#include <cstring>
#include <string>

#include "tools/fxbuild/WordWriter.h"

namespace {
enum EffectType : uint32_t {
  IntType = 2,
  FloatType = 3,
  TextureType = 5,
  Sampler2D = 12,
  PixelShaderType = 15,
  VertexShaderType = 16
};
enum EffectClass : uint32_t { ScalarClass = 0, ObjectClass = 4 };
enum StateOperation : uint32_t {
  VertexShaderState = 0x92,
  PixelShaderState = 0x93,
  TextureState = 0xA4,
  AddressUState = 0xA5,
  AddressVState = 0xA6,
  MagFilterState = 0xA9,
  MinFilterState = 0xAA,
};
constexpr uint32_t kTextureAddressClamp = 3;
constexpr uint32_t kFilterLinear = 2;
constexpr uint32_t kNone = 0xFFFFFFFF;
enum ResourceUsage : uint32_t { ShaderBytecode = 0, ParameterName = 1 };

// Object ids (0 is unused).
enum ObjectId : uint32_t {
  MyTex0Object = 1,
  SamplerTextureObject = 2,
  VertexShaderObject = 3,
  PixelShaderObject = 4,
  ObjectCount = 5
};

class DataBlock {
 public:
  DataBlock() { block_.Word(0); }  // offset 0 means "no name"
  uint32_t String(const std::string& text) {
    const uint32_t at = Here();
    block_.Word(static_cast<uint32_t>(text.size() + 1));
    block_.Bytes(text.c_str(), text.size() + 1);
    block_.PadTo4();
    return at;
  }
  uint32_t ScalarType(EffectType type, uint32_t name) { return Words({type, ScalarClass, name, 0, 0, 1, 1}); }
  uint32_t ObjectType(EffectType type, uint32_t name) { return Words({type, ObjectClass, name, 0, 0}); }
  uint32_t Float(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return Words({bits});
  }
  uint32_t Words(std::initializer_list<uint32_t> words) {
    const uint32_t at = Here();
    for (uint32_t w : words) block_.Word(w);
    return at;
  }
  uint32_t Here() const { return static_cast<uint32_t>(block_.Size()); }
  const ByteWriter& Bytes() const { return block_; }

 private:
  ByteWriter block_;
};

void Resource(ByteWriter& out, std::initializer_list<uint32_t> location, const void* data, size_t size) {
  for (uint32_t w : location) out.Word(w);
  out.Word(static_cast<uint32_t>(size));
  out.Bytes(data, size);
  out.PadTo4();
}

void ShaderResource(ByteWriter& out, uint32_t stateIndex, const std::vector<uint32_t>& tokens) {
  ByteWriter bytes;
  for (uint32_t t : tokens) bytes.Word(t);
  Resource(out, {0, 0, 0, stateIndex, ShaderBytecode}, bytes.Data().data(), bytes.Size());
}
}  // namespace

std::vector<uint8_t> WriteShadowEffect() {
  DataBlock data;
  const uint32_t shadowAlphaName = data.String("shadowAlpha");
  const uint32_t bgAlphaName = data.String("bgAlpha");
  const uint32_t myTex0Name = data.String("myTex0");
  const uint32_t samplerName = data.String("Tex0");
  const uint32_t techniqueName = data.String("AlphaBleend");
  const uint32_t passName = data.String("Pass_0");

  const uint32_t shadowAlphaType = data.ScalarType(FloatType, shadowAlphaName);
  const uint32_t bgAlphaType = data.ScalarType(FloatType, bgAlphaName);
  const uint32_t myTex0Type = data.ObjectType(TextureType, myTex0Name);
  const uint32_t samplerType = data.ObjectType(Sampler2D, samplerName);
  const uint32_t unnamedTextureType = data.ObjectType(TextureType, 0);
  const uint32_t unnamedIntType = data.ScalarType(IntType, 0);
  const uint32_t vertexShaderType = data.ObjectType(VertexShaderType, 0);
  const uint32_t pixelShaderType = data.ObjectType(PixelShaderType, 0);

  const uint32_t shadowAlphaValue = data.Float(1.0f);
  const uint32_t bgAlphaValue = data.Float(0.0f);
  const uint32_t myTex0Value = data.Words({MyTex0Object});
  const uint32_t samplerTextureValue = data.Words({SamplerTextureObject});
  const uint32_t clampValue = data.Words({kTextureAddressClamp});
  const uint32_t linearValue = data.Words({kFilterLinear});
  const uint32_t samplerValue = data.Words(
      {5,           TextureState,   0, unnamedTextureType, samplerTextureValue, AddressUState,  0, unnamedIntType,
       clampValue,  AddressVState,  0, unnamedIntType,     clampValue,          MagFilterState, 0, unnamedIntType,
       linearValue, MinFilterState, 0, unnamedIntType,     linearValue});
  const uint32_t vertexShaderValue = data.Words({VertexShaderObject});
  const uint32_t pixelShaderValue = data.Words({PixelShaderObject});

  ByteWriter records;
  records.Word(4);  // parameters
  records.Word(1);  // techniques
  records.Word(2);  // shaders
  records.Word(ObjectCount);
  for (auto [type, value] : {std::pair{shadowAlphaType, shadowAlphaValue}, std::pair{bgAlphaType, bgAlphaValue},
                             std::pair{myTex0Type, myTex0Value}, std::pair{samplerType, samplerValue}}) {
    records.Word(type);
    records.Word(value);
    records.Word(0);  // flags
    records.Word(0);  // annotations
  }
  const uint32_t samplerParameter = 3;
  records.Word(techniqueName);
  records.Word(0);  // annotations
  records.Word(1);  // passes
  records.Word(passName);
  records.Word(0);  // annotations
  records.Word(2);  // states
  for (uint32_t w : {uint32_t{VertexShaderState}, 0u, vertexShaderType, vertexShaderValue, uint32_t{PixelShaderState},
                     0u, pixelShaderType, pixelShaderValue}) {
    records.Word(w);
  }
  records.Word(0);  // strings
  records.Word(3);  // resources
  static const char kTextureName[] = "myTex0";
  Resource(records, {kNone, samplerParameter, kNone, 0, ParameterName}, kTextureName, sizeof(kTextureName));
  ShaderResource(records, 0, AssembleVertexShader());
  ShaderResource(records, 1, AssemblePixelShader());

  ByteWriter file;
  file.Word(0xFEFF0901);  // fx_2_0
  file.Word(data.Here());
  file.Append(data.Bytes());
  file.Append(records);
  return file.Data();
}
