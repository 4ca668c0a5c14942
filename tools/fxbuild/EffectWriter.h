#pragma once
// Writes the compiled shadow effect: an fx_2_0 container with technique "AlphaBleend", pass
// "Pass_0", the parameters shadowAlpha, bgAlpha, myTex0 and the sampler Tex0, and the vs_2_0 /
// ps_2_0 shaders assembled from tokens.
#include <cstdint>
#include <vector>

std::vector<uint32_t> AssembleVertexShader();
std::vector<uint32_t> AssemblePixelShader();
std::vector<uint8_t> WriteShadowEffect();
