#include "render/QuadTexture.h"

#include <cstring>
#include <utility>

#include <ddraw.h>

#include "render/CapturePixels.h"
#include "render/DirectDrawCopy.h"
#include "base/LockedDirectDrawSurface.h"
#include "base/LockedSurface.h"
#include "render/MonitorRecord.h"

using Microsoft::WRL::ComPtr;

UINT NextPowerOfTwo(UINT value) {
  UINT power = 1;
  while (power < value && power < (1u << 31)) power <<= 1;
  return power;
}

namespace {
// Keeps the first failure of a sequence of calls.
class FirstFailure {
 public:
  void Note(HRESULT hr) {
    if (SUCCEEDED(result) && FAILED(hr)) result = hr;
  }
  HRESULT Result() const { return result; }

 private:
  HRESULT result = S_OK;
};

D3DFORMAT CopyFormatOf(const DDSURFACEDESC2& description) {
  const DDPIXELFORMAT& format = description.ddpfPixelFormat;
  DirectDrawPixels pixels;
  pixels.descriptionFlags = description.dwFlags;
  pixels.formatFlags = format.dwFlags;
  pixels.fourCC = format.dwFourCC;
  pixels.bitCount = format.dwRGBBitCount;
  pixels.redMask = format.dwRBitMask;
  pixels.greenMask = format.dwGBitMask;
  pixels.blueMask = format.dwBBitMask;
  switch (CopyFormatOf(pixels)) {
    case CopyFormat::X8R8G8B8:
      return D3DFMT_X8R8G8B8;
    case CopyFormat::R8G8B8:
      return D3DFMT_R8G8B8;
    case CopyFormat::R5G6B5:
      return D3DFMT_R5G6B5;
    default:
      return D3DFMT_UNKNOWN;
  }
}
}  // namespace

QuadTexture::QuadTexture(IDirect3DDevice9* device, ComPtr<IDirect3DTexture9> texture, UINT contentWidth,
                         UINT contentHeight, bool flipped)
    : device(device), texture(std::move(texture)), contentWidth(contentWidth), contentHeight(contentHeight),
      flipped(flipped) {
  this->texture->GetLevelDesc(0, &levelDescription);
  for (Vertex& v : vertices) v = Vertex{0.0f, 0.0f, 0.5f, 1.0f, 0.0f, 0.0f};
  UpdateTextureCoordinates();
}

QuadTexture::QuadTexture(IDirect3DDevice9* device, bool flipped) : device(device), flipped(flipped) {
  for (Vertex& v : vertices) v = Vertex{0.0f, 0.0f, 0.5f, 1.0f, 0.0f, 0.0f};
}

QuadTexture::~QuadTexture() = default;

std::unique_ptr<QuadTexture> QuadTexture::CreateBlank(IDirect3DDevice9* device, UINT width, UINT height, DWORD usage,
                                                      D3DFORMAT format) {
  ComPtr<IDirect3DTexture9> texture;
  if (FAILED(device->CreateTexture(NextPowerOfTwo(width), NextPowerOfTwo(height), 0, usage, format, D3DPOOL_DEFAULT,
                                   texture.GetAddressOf(), nullptr))) {
    return nullptr;
  }
  return std::unique_ptr<QuadTexture>(new QuadTexture(device, std::move(texture), width, height, false));
}

std::unique_ptr<QuadTexture> QuadTexture::CreateFromCapture(IDirect3DDevice9* device, const MonitorRecord& capture) {
  if (capture.captureWidth < 0 || capture.captureHeight < 0) return nullptr;
  const UINT width = static_cast<UINT>(capture.captureWidth), height = static_cast<UINT>(capture.captureHeight);
  ComPtr<IDirect3DTexture9> texture;
  if (FAILED(device->CreateTexture(NextPowerOfTwo(width), NextPowerOfTwo(height), 1, 0, D3DFMT_X8R8G8B8,
                                   D3DPOOL_DEFAULT, texture.GetAddressOf(), nullptr))) {
    return nullptr;
  }
  std::unique_ptr<QuadTexture> quad(new QuadTexture(device, std::move(texture), width, height, true));
  ComPtr<IDirect3DSurface9> staging;
  if (FAILED(quad->StagingSurface(staging.GetAddressOf()))) return nullptr;
  {
    LockedSurface locked(staging.Get());
    if (FAILED(locked.Result())) return nullptr;
    CapturePicture picture;
    picture.pixels = capture.pixels.data();
    picture.byteCount = capture.pixels.size();
    picture.width = capture.captureWidth;
    picture.height = capture.captureHeight;
    picture.bytesPerPixel = capture.bytesPerPixel;
    picture.stride = static_cast<size_t>(capture.captureWidth) * static_cast<size_t>(capture.bytesPerPixel > 0 ? capture.bytesPerPixel : 0);
    picture.redMask = capture.redMask;
    picture.greenMask = capture.greenMask;
    picture.blueMask = capture.blueMask;
    const CaptureConversion converted = ConvertCapture(picture, locked.Row(0), locked.Pitch());
    if (converted == CaptureConversion::Refused || converted == CaptureConversion::SourceTooSmall) return nullptr;
  }
  if (FAILED(quad->UploadStaging())) return nullptr;
  quad->staging.Reset();  // a capture is uploaded once: no need to keep its system-memory copy
  return quad;
}

void QuadTexture::SetContentSize(UINT width, UINT height) {
  contentWidth = width;
  contentHeight = height;
  UpdateTextureCoordinates();
}

void QuadTexture::UpdateTextureCoordinates() {
  const float right = levelDescription.Width ? static_cast<float>(contentWidth) / levelDescription.Width : 0.0f;
  const float bottom = levelDescription.Height ? static_cast<float>(contentHeight) / levelDescription.Height : 0.0f;
  const float topV = flipped ? bottom : 0.0f;
  const float bottomV = flipped ? 0.0f : bottom;
  vertices[0].u = 0.0f;  vertices[0].v = topV;
  vertices[1].u = right; vertices[1].v = topV;
  vertices[2].u = 0.0f;  vertices[2].v = bottomV;
  vertices[3].u = right; vertices[3].v = bottomV;
}

HRESULT QuadTexture::GetLevelSurface(IDirect3DSurface9** surface) const { return texture->GetSurfaceLevel(0, surface); }

HRESULT QuadTexture::StagingSurface(IDirect3DSurface9** surface) {
  if (!staging) {
    const HRESULT hr = device->CreateOffscreenPlainSurface(levelDescription.Width, levelDescription.Height,
                                                           levelDescription.Format, D3DPOOL_SYSTEMMEM,
                                                           staging.GetAddressOf(), nullptr);
    if (FAILED(hr)) return hr;
  }
  return staging.CopyTo(surface);
}

HRESULT QuadTexture::UploadStaging() {
  ComPtr<IDirect3DSurface9> level;
  const HRESULT hr = GetLevelSurface(level.GetAddressOf());
  if (FAILED(hr)) return hr;
  return device->UpdateSurface(staging.Get(), nullptr, level.Get(), nullptr);
}

HRESULT QuadTexture::FillTexels(const uint32_t* texels) {
  ComPtr<IDirect3DSurface9> surface;
  HRESULT hr = StagingSurface(surface.GetAddressOf());
  if (FAILED(hr)) return hr;
  {
    LockedSurface locked(surface.Get());
    if (FAILED(locked.Result())) return locked.Result();
    for (UINT row = 0; row < contentHeight; ++row) {
      std::memcpy(locked.Row(row), texels + static_cast<size_t>(row) * contentWidth, contentWidth * sizeof(uint32_t));
    }
  }
  return UploadStaging();
}

HRESULT QuadTexture::FillAlpha(const uint8_t* bytes, size_t byteCount, D3DCOLOR colour, bool flip) {
  if (byteCount != static_cast<size_t>(contentWidth) * contentHeight) return E_UNEXPECTED;
  ComPtr<IDirect3DSurface9> surface;
  HRESULT hr = StagingSurface(surface.GetAddressOf());
  if (FAILED(hr)) return hr;
  {
    LockedSurface locked(surface.Get());
    if (FAILED(locked.Result())) return locked.Result();
    const uint32_t rgb = colour & 0x00FFFFFFu;
    for (UINT row = 0; row < contentHeight; ++row) {
      const UINT sourceRow = flip ? contentHeight - 1 - row : row;
      const uint8_t* in = bytes + static_cast<size_t>(sourceRow) * contentWidth;
      uint32_t* out = reinterpret_cast<uint32_t*>(locked.Row(row));
      for (UINT x = 0; x < contentWidth; ++x) out[x] = (uint32_t{in[x]} << 24) | rgb;
    }
  }
  return UploadStaging();
}

HRESULT QuadTexture::CopyFromSurface(IDirect3DSurface9* source) {
  ComPtr<IDirect3DSurface9> level;
  const HRESULT hr = GetLevelSurface(level.GetAddressOf());
  if (FAILED(hr)) return hr;
  return device->UpdateSurface(source, nullptr, level.Get(), nullptr);
}

HRESULT QuadTexture::StretchFromSurface(IDirect3DSurface9* source) {
  ComPtr<IDirect3DSurface9> level;
  const HRESULT hr = GetLevelSurface(level.GetAddressOf());
  if (FAILED(hr)) return hr;
  return device->StretchRect(source, nullptr, level.Get(), nullptr, D3DTEXF_NONE);
}

bool QuadTexture::SameDescription(const QuadTexture& other) const {
  if (!texture || !other.texture) return false;
  const D3DSURFACE_DESC& a = levelDescription;
  const D3DSURFACE_DESC& b = other.levelDescription;
  return a.Format == b.Format && a.Type == b.Type && a.Usage == b.Usage && a.Pool == b.Pool && a.Width == b.Width &&
         a.Height == b.Height;
}

HRESULT QuadTexture::CopyTexture(const QuadTexture& source) {
  if (!source.texture) return E_POINTER;
  if (!SameDescription(source)) {
    const D3DSURFACE_DESC& like = source.levelDescription;
    ComPtr<IDirect3DTexture9> made;
    const HRESULT hr = device->CreateTexture(like.Width, like.Height, source.texture->GetLevelCount(), like.Usage,
                                             like.Format, like.Pool, made.GetAddressOf(), nullptr);
    if (FAILED(hr)) return hr;
    texture = std::move(made);
    staging.Reset();  // of the old size and format
    levelDescription = like;
    contentWidth = source.contentWidth;
    contentHeight = source.contentHeight;
    std::memcpy(vertices, source.vertices, sizeof vertices);
  }
  ComPtr<IDirect3DSurface9> sourceLevel;
  const HRESULT hr = source.GetLevelSurface(sourceLevel.GetAddressOf());
  if (FAILED(hr)) return hr;
  return StretchFromSurface(sourceLevel.Get());
}

HRESULT QuadTexture::CopyFromDirectDrawSurface(IDirectDrawSurface7* source) {
  DDSURFACEDESC2 description{};
  description.dwSize = sizeof description;
  HRESULT hr = source->GetSurfaceDesc(&description);
  if (FAILED(hr)) return hr;
  const D3DFORMAT format = CopyFormatOf(description);
  if (format == D3DFMT_UNKNOWN) return E_INVALIDARG;

  const UINT width = NextPowerOfTwo(description.dwWidth), height = NextPowerOfTwo(description.dwHeight);
  if (!texture || levelDescription.Format != format || levelDescription.Width != width ||
      levelDescription.Height != height) {
    ComPtr<IDirect3DTexture9> made;
    hr = device->CreateTexture(width, height, 0, levelDescription.Usage, format,
                               texture ? levelDescription.Pool : D3DPOOL_DEFAULT, made.GetAddressOf(), nullptr);
    if (FAILED(hr)) return hr;
    texture = std::move(made);
    staging.Reset();  // of the old size and format
    texture->GetLevelDesc(0, &levelDescription);
  }
  if (contentWidth != description.dwWidth || contentHeight != description.dwHeight) {
    SetContentSize(description.dwWidth, description.dwHeight);
  }

  ComPtr<IDirect3DSurface9> surface;
  hr = StagingSurface(surface.GetAddressOf());
  if (FAILED(hr)) return hr;
  {
    LockedSurface target(surface.Get());
    if (FAILED(target.Result())) return target.Result();
    LockedDirectDrawSurface pixels(source, DDLOCK_WAIT | DDLOCK_READONLY);
    if (FAILED(pixels.Result())) return pixels.Result();
    if (pixels.Pitch() == 0 || !pixels.Bits()) return E_FAIL;
    CopyRows(pixels.Bits(), pixels.Pitch(), target.Row(0), target.Pitch(), description.dwHeight);
  }
  return UploadStaging();
}

std::unique_ptr<QuadTexture> QuadTexture::CloneTexture(const QuadTexture& source) {
  std::unique_ptr<QuadTexture> clone(new QuadTexture(source.device.Get(), source.flipped));
  clone->CopyTexture(source);
  // A failed picture copy still leaves a usable texture; the next copy fills it.
  if (!clone->texture) return nullptr;
  return clone;
}

HRESULT QuadTexture::DrawAt(float x, float y, float w, float h) {
  // Direct3D 9 puts a pixel's centre on the integer coordinate and a texel's centre half a texel in:
  // corners half a pixel up and to the left make every pixel sample its own texel's centre. On the
  // grid itself, each pixel would sample the edge between two texels: a picture drawn at its own
  // size would come out one pixel off (point sampling) or blurred (linear). The pixels covered are
  // the same either way.
  constexpr float kToTexelCentres = -0.5f;
  x += kToTexelCentres;
  y += kToTexelCentres;
  vertices[0].x = x;     vertices[0].y = y;
  vertices[1].x = x + w; vertices[1].y = y;
  vertices[2].x = x;     vertices[2].y = y + h;
  vertices[3].x = x + w; vertices[3].y = y + h;
  FirstFailure result;
  result.Note(device->SetTexture(0, texture.Get()));
  result.Note(device->SetFVF(kVertexFormat));
  result.Note(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, sizeof(Vertex)));
  result.Note(device->SetTexture(0, nullptr));
  return result.Result();
}
