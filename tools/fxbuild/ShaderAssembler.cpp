// vs_2_0 / ps_2_0 bytecode from tokens. The constant table comes first, right after the version
// token, because D3DX finds it by scanning and data words could otherwise look like tokens.
#include <cstring>
#include <string>

#include "tools/fxbuild/EffectWriter.h"
#include "tools/fxbuild/WordWriter.h"

namespace {
enum RegisterType : uint32_t {
  Temp = 0,
  Input = 1,
  Const = 2,
  Texture = 3,
  RastOut = 4,
  TexCoordOut = 6,
  ColourOut = 8,
  Sampler = 10,
};
enum Opcode : uint32_t { Mov = 1, Dp3 = 8, Lrp = 18, Dcl = 31, Tex = 66, Def = 81 };
constexpr uint32_t kEnd = 0x0000FFFF;
constexpr uint32_t kSwizzleXYZW = 0xE4;
constexpr uint32_t kSwizzleXXXX = 0x00;

uint32_t Instruction(Opcode op, uint32_t operands) { return op | (operands << 24); }

uint32_t RegisterBits(RegisterType type, uint32_t index) {
  return 0x80000000u | ((type & 7u) << 28) | (((type >> 3) & 3u) << 11) | index;
}
uint32_t Destination(RegisterType type, uint32_t index, uint32_t writeMask = 0xF) {
  return RegisterBits(type, index) | (writeMask << 16);
}
uint32_t Source(RegisterType type, uint32_t index, uint32_t swizzle = kSwizzleXYZW) {
  return RegisterBits(type, index) | (swizzle << 16);
}
uint32_t FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

// Direct3D constant-table records.
enum RegisterSet : uint16_t { Float4 = 2, SamplerSet = 3 };
enum ParameterClass : uint16_t { Scalar = 0, Object = 4 };
enum ParameterType : uint16_t { FloatType = 3, Sampler2D = 12 };

struct TableConstant {
  std::string name;
  RegisterSet set;
  uint16_t registerIndex;
  ParameterClass klass;
  ParameterType type;
};

// The comment token holding "CTAB" and the table; offsets are relative to the byte after the fourcc.
void AppendConstantTable(WordWriter& shader, uint32_t version, const std::vector<TableConstant>& constants) {
  ByteWriter table;
  const uint32_t headerSize = 28, infoSize = 20, typeSize = 16;
  const uint32_t infoOffset = headerSize;
  const uint32_t typesOffset = infoOffset + infoSize * static_cast<uint32_t>(constants.size());
  uint32_t stringsOffset = typesOffset + typeSize * static_cast<uint32_t>(constants.size());

  ByteWriter strings;
  auto addString = [&](const std::string& text) {
    const uint32_t at = stringsOffset + static_cast<uint32_t>(strings.Size());
    strings.Bytes(text.c_str(), text.size() + 1);
    strings.PadTo4();
    return at;
  };
  std::vector<uint32_t> nameOffsets;
  for (const TableConstant& c : constants) nameOffsets.push_back(addString(c.name));
  const uint32_t creatorOffset = addString("kagemira fxbuild");
  const uint32_t targetOffset = addString((version >> 16) == 0xFFFE ? "vs_2_0" : "ps_2_0");

  table.Word(headerSize);
  table.Word(creatorOffset);
  table.Word(version);
  table.Word(static_cast<uint32_t>(constants.size()));
  table.Word(constants.empty() ? 0 : infoOffset);
  table.Word(0);  // flags
  table.Word(targetOffset);
  for (size_t i = 0; i < constants.size(); ++i) {
    table.Word(nameOffsets[i]);
    table.Half(constants[i].set);
    table.Half(constants[i].registerIndex);
    table.Half(1);  // register count
    table.Half(0);
    table.Word(typesOffset + typeSize * static_cast<uint32_t>(i));
    table.Word(0);  // no default value
  }
  for (const TableConstant& c : constants) {
    table.Half(c.klass);
    table.Half(c.type);
    table.Half(1);  // rows
    table.Half(1);  // columns
    table.Half(1);  // elements
    table.Half(0);  // struct members
    table.Word(0);
  }
  table.Append(strings);
  table.PadTo4();

  const uint32_t words = 1 + static_cast<uint32_t>(table.Size() / 4);  // the fourcc included
  shader.Word(0xFFFEu | (words << 16));
  shader.Word(0x42415443u);  // "CTAB"
  shader.Append(table);
}
}  // namespace

std::vector<uint32_t> AssembleVertexShader() {
  const uint32_t version = 0xFFFE0200;
  WordWriter vs;
  vs.Word(version);
  AppendConstantTable(vs, version, {});
  vs.Words({Instruction(Dcl, 2), 0x80000000u /* position */, Destination(Input, 0)});
  vs.Words({Instruction(Dcl, 2), 0x80000005u /* texcoord */, Destination(Input, 1)});
  vs.Words({Instruction(Mov, 2), Destination(RastOut, 0), Source(Input, 0)});
  vs.Words({Instruction(Mov, 2), Destination(TexCoordOut, 0, 0x3), Source(Input, 1)});
  vs.Word(kEnd);
  return vs.TakeWords();
}

std::vector<uint32_t> AssemblePixelShader() {
  const uint32_t version = 0xFFFF0200;
  WordWriter ps;
  ps.Word(version);
  AppendConstantTable(ps, version,
                      {{"Tex0", SamplerSet, 0, Object, Sampler2D},
                       {"shadowAlpha", Float4, 0, Scalar, FloatType},
                       {"bgAlpha", Float4, 1, Scalar, FloatType}});
  // c2 = brightness weights: L = (2R + 4G + B) / 7.
  ps.Words({Instruction(Def, 5), Destination(Const, 2), FloatBits(2.0f / 7.0f), FloatBits(4.0f / 7.0f),
            FloatBits(1.0f / 7.0f), FloatBits(0.0f)});
  ps.Words({Instruction(Dcl, 2), 0x80000000u, Destination(Texture, 0, 0x3)});
  ps.Words({Instruction(Dcl, 2), 0x80000000u | (2u << 27) /* 2d */, Destination(Sampler, 0)});
  ps.Words({Instruction(Tex, 3), Destination(Temp, 0), Source(Texture, 0), Source(Sampler, 0)});
  ps.Words({Instruction(Dp3, 3), Destination(Temp, 1, 0x1), Source(Temp, 0), Source(Const, 2)});
  // alpha = L * bgAlpha + (1 - L) * shadowAlpha
  ps.Words({Instruction(Lrp, 4), Destination(Temp, 0, 0x8), Source(Temp, 1, kSwizzleXXXX),
            Source(Const, 1, kSwizzleXXXX), Source(Const, 0, kSwizzleXXXX)});
  ps.Words({Instruction(Mov, 2), Destination(ColourOut, 0), Source(Temp, 0)});
  ps.Word(kEnd);
  return ps.TakeWords();
}
