#include "tests/wine/render/RenderTestSupport.h"

#include <cstring>

#include "framedata/SilhouetteConversion.h"
#include "render/Direct3DDevice.h"
#include "base/LockedSurface.h"
#include "render/PlaybackRenderer.h"

namespace {
const wchar_t kClassName[] = L"KagemiraRenderTestWindow";

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterTestClass() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
}
}  // namespace

TestWindow::TestWindow(int x, int y, int width, int height, COLORREF colour, bool visible) {
  RegisterTestClass();
  brush.reset(CreateSolidBrush(colour));
  window = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"render test", WS_POPUP | (visible ? WS_VISIBLE : 0), x, y,
                           width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window) {
    SetClassLongPtrW(window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush.get()));
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
  }
}

TestWindow::~TestWindow() {
  if (window) DestroyWindow(window);
}

void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  } while (GetTickCount() - start < milliseconds);
}

bool TestDevice::Create(HWND window) {
  d3d = CreateDirect3D();
  if (!d3d || !FillPresentParameters(d3d.Get(), window, params)) return false;
  if (FAILED(CreatePlaybackDevice(d3d.Get(), params, device.GetAddressOf()))) return false;
  return AcquireRenderTarget(device.Get(), backBuffer);
}

ReadBack::ReadBack(IDirect3DDevice9* device, IDirect3DSurface9* target) {
  D3DSURFACE_DESC desc{};
  if (FAILED(target->GetDesc(&desc))) return;
  Microsoft::WRL::ComPtr<IDirect3DSurface9> copy;
  if (FAILED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                 copy.GetAddressOf(), nullptr)) ||
      FAILED(device->GetRenderTargetData(target, copy.Get()))) {
    return;
  }
  Read(copy.Get());
}

ReadBack::ReadBack(IDirect3DSurface9* systemMemorySurface) { Read(systemMemorySurface); }

std::unique_ptr<ReadBack> DrawAndReadViews(PlaybackRenderer& renderer, const TestDevice& device) {
  if (renderer.DrawViews() != S_OK) return nullptr;
  auto shot = std::make_unique<ReadBack>(device.device.Get(), device.backBuffer.Get());
  return shot->Ok() ? std::move(shot) : nullptr;
}

void ReadBack::Read(IDirect3DSurface9* surface) {
  D3DSURFACE_DESC desc{};
  if (FAILED(surface->GetDesc(&desc))) return;
  LockedSurface locked(surface, D3DLOCK_READONLY);
  if (FAILED(locked.result())) return;
  width = static_cast<int>(desc.Width);
  height = static_cast<int>(desc.Height);
  texels.resize(static_cast<size_t>(width) * height);
  for (int row = 0; row < height; ++row) {
    std::memcpy(&texels[static_cast<size_t>(row) * width], locked.Row(row), static_cast<size_t>(width) * 4);
  }
  ok = true;
}

Colour ReadBack::At(int x, int y) const {
  const uint32_t t = texels.at(static_cast<size_t>(y) * width + x);
  return {static_cast<int>((t >> 16) & 0xFF), static_cast<int>((t >> 8) & 0xFF), static_cast<int>(t & 0xFF),
          static_cast<int>(t >> 24)};
}

MonitorRecord SolidMonitor(PixelRect rect, Colour colour) {
  MonitorRecord m;
  m.x = rect.x;
  m.y = rect.y;
  m.width = m.captureWidth = rect.width;
  m.height = m.captureHeight = rect.height;
  m.bytesPerPixel = 4;
  m.pixels.resize(static_cast<size_t>(rect.width) * rect.height * 4);
  for (size_t i = 0; i < m.pixels.size(); i += 4) {
    m.pixels[i] = static_cast<uint8_t>(colour.b);
    m.pixels[i + 1] = static_cast<uint8_t>(colour.g);
    m.pixels[i + 2] = static_cast<uint8_t>(colour.r);
    m.pixels[i + 3] = 0;
  }
  return m;
}

SilhouetteTextures MakeSilhouette(IDirect3DDevice9* device, int width, int height, int foregroundPercent,
                                  const std::function<int(int x, int y)>& greyOf) {
  SilhouetteTextures made;
  made.silhouette = QuadTexture::CreateBlank(device, width, height, 0, D3DFMT_A8R8G8B8);
  made.mask = QuadTexture::CreateBlank(device, width, height, 0, D3DFMT_A8R8G8B8);
  if (!made.Ok()) return {};
  // The frame as stored: bottom row first.
  std::vector<uint8_t> frame(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      frame[static_cast<size_t>(height - 1 - y) * width + x] = static_cast<uint8_t>(greyOf(x, y));
  }
  // As the producer makes them: the silhouette at the shadow's opacity, the mask at full opacity.
  std::vector<uint32_t> silhouette(frame.size()), mask(frame.size());
  const size_t pitch = static_cast<size_t>(width) * 4;
  WriteSilhouetteTexels(frame.data(), width, height, OpacityByteFromPercent(static_cast<uint8_t>(foregroundPercent)),
                        silhouette.data(), pitch);
  WriteSilhouetteTexels(frame.data(), width, height, 255, mask.data(), pitch);
  if (FAILED(made.silhouette->FillTexels(silhouette.data())) || FAILED(made.mask->FillTexels(mask.data()))) return {};
  return made;
}
