// fxbuild <output>: writes the compiled shadow effect that the programs embed as resource CFX 116.
#include <cstdio>

#include "tools/fxbuild/EffectWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fxbuild <output file>\n");
    return 2;
  }
  const std::vector<uint8_t> effect = WriteShadowEffect();
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(effect.data(), 1, effect.size(), out) == effect.size();
  if (std::fclose(out) != 0 || !written) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
