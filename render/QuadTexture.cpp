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
    if (SUCCEEDED(result_) && FAILED(hr)) result_ = hr;
  }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_ = S_OK;
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
    : device_(device),
      texture_(std::move(texture)),
      contentWidth_(contentWidth),
      contentHeight_(contentHeight),
      flipped_(flipped) {
  this->texture_->GetLevelDesc(0, &levelDescription_);
  for (Vertex& v : vertices_) v = Vertex{0.0f, 0.0f, 0.5f, 1.0f, 0.0f, 0.0f};
  UpdateTextureCoordinates();
}

QuadTexture::QuadTexture(IDirect3DDevice9* device, bool flipped) : device_(device), flipped_(flipped) {
  for (Vertex& v : vertices_) v = Vertex{0.0f, 0.0f, 0.5f, 1.0f, 0.0f, 0.0f};
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
    if (FAILED(locked.result())) return nullptr;
    CapturePicture picture;
    picture.pixels = capture.pixels.data();
    picture.byteCount = capture.pixels.size();
    picture.width = capture.captureWidth;
    picture.height = capture.captureHeight;
    picture.bytesPerPixel = capture.bytesPerPixel;
    picture.stride = static_cast<size_t>(capture.captureWidth) *
                     static_cast<size_t>(capture.bytesPerPixel > 0 ? capture.bytesPerPixel : 0);
    picture.redMask = capture.redMask;
    picture.greenMask = capture.greenMask;
    picture.blueMask = capture.blueMask;
    const CaptureConversion converted = ConvertCapture(picture, locked.Row(0), locked.pitch());
    if (converted == CaptureConversion::Refused || converted == CaptureConversion::SourceTooSmall) return nullptr;
  }
  if (FAILED(quad->UploadStaging())) return nullptr;
  quad->staging_.Reset();  // a capture is uploaded once: no need to keep its system-memory copy
  return quad;
}

void QuadTexture::SetContentSize(UINT width, UINT height) {
  contentWidth_ = width;
  contentHeight_ = height;
  UpdateTextureCoordinates();
}

void QuadTexture::UpdateTextureCoordinates() {
  const float right = levelDescription_.Width ? static_cast<float>(contentWidth_) / levelDescription_.Width : 0.0f;
  const float bottom = levelDescription_.Height ? static_cast<float>(contentHeight_) / levelDescription_.Height : 0.0f;
  const float topV = flipped_ ? bottom : 0.0f;
  const float bottomV = flipped_ ? 0.0f : bottom;
  vertices_[0].u = 0.0f;
  vertices_[0].v = topV;
  vertices_[1].u = right;
  vertices_[1].v = topV;
  vertices_[2].u = 0.0f;
  vertices_[2].v = bottomV;
  vertices_[3].u = right;
  vertices_[3].v = bottomV;
}

HRESULT QuadTexture::GetLevelSurface(IDirect3DSurface9** surface) const {
  return texture_->GetSurfaceLevel(0, surface);
}

HRESULT QuadTexture::StagingSurface(IDirect3DSurface9** surface) {
  if (!staging_) {
    const HRESULT hr = device_->CreateOffscreenPlainSurface(levelDescription_.Width, levelDescription_.Height,
                                                            levelDescription_.Format, D3DPOOL_SYSTEMMEM,
                                                            staging_.GetAddressOf(), nullptr);
    if (FAILED(hr)) return hr;
  }
  return staging_.CopyTo(surface);
}

HRESULT QuadTexture::UploadStaging() {
  ComPtr<IDirect3DSurface9> level;
  const HRESULT hr = GetLevelSurface(level.GetAddressOf());
  if (FAILED(hr)) return hr;
  return device_->UpdateSurface(staging_.Get(), nullptr, level.Get(), nullptr);
}

HRESULT QuadTexture::FillTexels(const uint32_t* texels) {
  ComPtr<IDirect3DSurface9> surface;
  HRESULT hr = StagingSurface(surface.GetAddressOf());
  if (FAILED(hr)) return hr;
  {
    LockedSurface locked(surface.Get());
    if (FAILED(locked.result())) return locked.result();
    for (UINT row = 0; row < contentHeight_; ++row) {
      std::memcpy(locked.Row(row), texels + static_cast<size_t>(row) * contentWidth_, contentWidth_ * sizeof(uint32_t));
    }
  }
  return UploadStaging();
}

HRESULT QuadTexture::FillAlpha(const uint8_t* bytes, size_t byteCount, D3DCOLOR colour, bool flip) {
  if (byteCount != static_cast<size_t>(contentWidth_) * contentHeight_) return E_UNEXPECTED;
  ComPtr<IDirect3DSurface9> surface;
  HRESULT hr = StagingSurface(surface.GetAddressOf());
  if (FAILED(hr)) return hr;
  {
    LockedSurface locked(surface.Get());
    if (FAILED(locked.result())) return locked.result();
    const uint32_t rgb = colour & 0x00FFFFFFu;
    for (UINT row = 0; row < contentHeight_; ++row) {
      const UINT sourceRow = flip ? contentHeight_ - 1 - row : row;
      const uint8_t* in = bytes + static_cast<size_t>(sourceRow) * contentWidth_;
      uint32_t* out = reinterpret_cast<uint32_t*>(locked.Row(row));
      for (UINT x = 0; x < contentWidth_; ++x) out[x] = (uint32_t{in[x]} << 24) | rgb;
    }
  }
  return UploadStaging();
}

HRESULT QuadTexture::CopyFromSurface(IDirect3DSurface9* source) {
  ComPtr<IDirect3DSurface9> level;
  const HRESULT hr = GetLevelSurface(level.GetAddressOf());
  if (FAILED(hr)) return hr;
  return device_->UpdateSurface(source, nullptr, level.Get(), nullptr);
}

HRESULT QuadTexture::StretchFromSurface(IDirect3DSurface9* source) {
  ComPtr<IDirect3DSurface9> level;
  const HRESULT hr = GetLevelSurface(level.GetAddressOf());
  if (FAILED(hr)) return hr;
  return device_->StretchRect(source, nullptr, level.Get(), nullptr, D3DTEXF_NONE);
}

bool QuadTexture::SameDescription(const QuadTexture& other) const {
  if (!texture_ || !other.texture_) return false;
  const D3DSURFACE_DESC& a = levelDescription_;
  const D3DSURFACE_DESC& b = other.levelDescription_;
  return a.Format == b.Format && a.Type == b.Type && a.Usage == b.Usage && a.Pool == b.Pool && a.Width == b.Width &&
         a.Height == b.Height;
}

HRESULT QuadTexture::CopyTexture(const QuadTexture& source) {
  if (!source.texture_) return E_POINTER;
  if (!SameDescription(source)) {
    const D3DSURFACE_DESC& like = source.levelDescription_;
    ComPtr<IDirect3DTexture9> made;
    const HRESULT hr = device_->CreateTexture(like.Width, like.Height, source.texture_->GetLevelCount(), like.Usage,
                                              like.Format, like.Pool, made.GetAddressOf(), nullptr);
    if (FAILED(hr)) return hr;
    texture_ = std::move(made);
    staging_.Reset();  // of the old size and format
    levelDescription_ = like;
    contentWidth_ = source.contentWidth_;
    contentHeight_ = source.contentHeight_;
    std::memcpy(vertices_, source.vertices_, sizeof vertices_);
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
  if (!texture_ || levelDescription_.Format != format || levelDescription_.Width != width ||
      levelDescription_.Height != height) {
    ComPtr<IDirect3DTexture9> made;
    hr = device_->CreateTexture(width, height, 0, levelDescription_.Usage, format,
                                texture_ ? levelDescription_.Pool : D3DPOOL_DEFAULT, made.GetAddressOf(), nullptr);
    if (FAILED(hr)) return hr;
    texture_ = std::move(made);
    staging_.Reset();  // of the old size and format
    texture_->GetLevelDesc(0, &levelDescription_);
  }
  if (contentWidth_ != description.dwWidth || contentHeight_ != description.dwHeight) {
    SetContentSize(description.dwWidth, description.dwHeight);
  }

  ComPtr<IDirect3DSurface9> surface;
  hr = StagingSurface(surface.GetAddressOf());
  if (FAILED(hr)) return hr;
  {
    LockedSurface target(surface.Get());
    if (FAILED(target.result())) return target.result();
    LockedDirectDrawSurface pixels(source, DDLOCK_WAIT | DDLOCK_READONLY);
    if (FAILED(pixels.result())) return pixels.result();
    if (pixels.pitch() == 0 || !pixels.Bits()) return E_FAIL;
    CopyRows(pixels.Bits(), pixels.pitch(), target.Row(0), target.pitch(), description.dwHeight);
  }
  return UploadStaging();
}

std::unique_ptr<QuadTexture> QuadTexture::CloneTexture(const QuadTexture& source) {
  std::unique_ptr<QuadTexture> clone(new QuadTexture(source.device_.Get(), source.flipped_));
  clone->CopyTexture(source);
  // A failed picture copy still leaves a usable texture; the next copy fills it.
  if (!clone->texture_) return nullptr;
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
  vertices_[0].x = x;
  vertices_[0].y = y;
  vertices_[1].x = x + w;
  vertices_[1].y = y;
  vertices_[2].x = x;
  vertices_[2].y = y + h;
  vertices_[3].x = x + w;
  vertices_[3].y = y + h;
  FirstFailure result;
  result.Note(device_->SetTexture(0, texture_.Get()));
  result.Note(device_->SetFVF(kVertexFormat));
  result.Note(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices_, sizeof(Vertex)));
  result.Note(device_->SetTexture(0, nullptr));
  return result.result();
}
