#pragma once
// A power-of-two texture with the picture in its top-left corner and four pre-transformed
// vertices of its own; every draw of the renderer goes through one.
#include <d3d9.h>
#include <wrl/client.h>

#include <cstddef>
#include <cstdint>
#include <memory>

struct MonitorRecord;
struct IDirectDrawSurface7;

class QuadTexture {
 public:
  // Next powers of two at or above each side, full mip chain (level count 0), default pool.
  static std::unique_ptr<QuadTexture> CreateBlank(IDirect3DDevice9* device, UINT width, UINT height, DWORD usage,
                                                  D3DFORMAT format);
  // X8R8G8B8 texture of a monitor capture, stored as captured (bottom row first) and drawn flipped.
  // Null when a 16-bit capture has another layout than 5-5-5 or 5-6-5, or on any failure.
  static std::unique_ptr<QuadTexture> CreateFromCapture(IDirect3DDevice9* device, const MonitorRecord& capture);

  virtual ~QuadTexture();
  QuadTexture(const QuadTexture&) = delete;
  QuadTexture& operator=(const QuadTexture&) = delete;

  // Content width * content height texels, rows of content width, top row first.
  HRESULT FillTexels(const uint32_t* texels);
  // texel = (byte << 24) | colour; byteCount must be content width * content height, else
  // E_UNEXPECTED. With flip the source rows are taken last row first.
  HRESULT FillAlpha(const uint8_t* bytes, size_t byteCount, D3DCOLOR colour, bool flip);
  // Level 0 <- source with UpdateSurface (no rectangles).
  HRESULT CopyFromSurface(IDirect3DSurface9* source);
  // Level 0 <- source with StretchRect, no filter.
  HRESULT StretchFromSurface(IDirect3DSurface9* source);
  // Makes this a copy of source: when this has no texture or one of another format, type, usage,
  // pool or size, a texture like the source's is made first and the source's description,
  // content size and quad are taken over; then level 0 of the source is stretched into it.
  HRESULT CopyTexture(const QuadTexture& source);
  // Level 0 <- a DirectDraw surface of 32-bit, 24-bit or 16-bit 5-6-5 RGB pixels (anything else:
  // E_INVALIDARG), through a system-memory surface of this texture's size and format. When the
  // surface's format or power-of-two size differs from the texture's, the texture is made anew in
  // that format and size (usage and pool kept); the content size becomes the surface's size.
  HRESULT CopyFromDirectDrawSurface(IDirectDrawSurface7* source);
  // A new texture on the source's device with the source's flip setting and a copy of its picture;
  // null on failure.
  static std::unique_ptr<QuadTexture> CloneTexture(const QuadTexture& source);
  // Same format, resource type, usage, pool, width and height of level 0.
  bool SameDescription(const QuadTexture& other) const;

  // Draws the picture over the pixels (x, y, w, h) of the render target with the current states,
  // from the vertices in memory, each texel on its own pixel when drawn at its own size; stage 0
  // is cleared again afterwards.
  HRESULT DrawAt(float x, float y, float w, float h);

  // Changes the picture size inside the texture (the texture coordinates follow).
  void SetContentSize(UINT width, UINT height);

  IDirect3DTexture9* Texture() const { return texture_.Get(); }
  HRESULT GetLevelSurface(IDirect3DSurface9** surface) const;
  const D3DSURFACE_DESC& LevelDescription() const { return levelDescription_; }
  UINT contentWidth() const { return contentWidth_; }
  UINT contentHeight() const { return contentHeight_; }
  bool flipped() const { return flipped_; }

  struct Vertex {
    float x, y, z, rhw, u, v;
  };
  static constexpr DWORD kVertexFormat = D3DFVF_XYZRHW | D3DFVF_TEX1;
  static_assert(sizeof(Vertex) == 24, "pre-transformed vertex with one texture coordinate set");

 private:
  QuadTexture(IDirect3DDevice9* device, Microsoft::WRL::ComPtr<IDirect3DTexture9> texture, UINT contentWidth,
              UINT contentHeight, bool flipped);
  // No texture yet: only CloneTexture makes one of these, and gives it its texture at once.
  QuadTexture(IDirect3DDevice9* device, bool flipped);
  void UpdateTextureCoordinates();
  // A system-memory surface of the level's size and format, made on first use and kept, so that
  // uploads done for every frame allocate nothing.
  HRESULT StagingSurface(IDirect3DSurface9** surface);
  HRESULT UploadStaging();

  Microsoft::WRL::ComPtr<IDirect3DDevice9> device_;
  Microsoft::WRL::ComPtr<IDirect3DTexture9> texture_;
  Microsoft::WRL::ComPtr<IDirect3DSurface9> staging_;
  D3DSURFACE_DESC levelDescription_{};
  UINT contentWidth_ = 0;
  UINT contentHeight_ = 0;
  Vertex vertices_[4]{};  // top-left, top-right, bottom-left, bottom-right
  bool flipped_ = false;
};

// The smallest power of two at or above value (1 for 0).
UINT NextPowerOfTwo(UINT value);
