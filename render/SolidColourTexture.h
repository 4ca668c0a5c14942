#pragma once
// 1 x 1 textures that paint a rectangle with one colour and alpha when stretched over it.
#include <d3d9.h>

#include <memory>

class QuadTexture;
class RenderStateBlocks;

// A 1 x 1 A8R8G8B8 render-target texture in the default pool holding argb: a 1 x 1 texture
// filled with the colour is drawn into it with blending off (block Opaque). The device's render
// target is changed; the caller sets its own afterwards. Null on failure.
std::unique_ptr<QuadTexture> CreateSolidColourTexture(IDirect3DDevice9* device, const RenderStateBlocks& blocks,
                                                      D3DCOLOR argb);

// An opacity percentage (0 to 100) as a byte: value * 255 / 100 with integer division.
constexpr unsigned OpacityByte(unsigned percent) { return percent * 255u / 100u; }
