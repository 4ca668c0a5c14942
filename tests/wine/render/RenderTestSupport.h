#pragma once
// A real window with a real playback device for the renderer's tests, and read-back helpers.
#include <d3d9.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/GdiHandles.h"
#include "render/MonitorRecord.h"
#include "render/QuadTexture.h"

class TestWindow {
 public:
  TestWindow(int x, int y, int width, int height, COLORREF colour = RGB(0, 0, 0), bool visible = true);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND Handle() const { return window; }

 private:
  HWND window = nullptr;
  GdiBrush brush;  // the window's background: goes after the window
};

// Lets pending window messages run (painting) for about the given time.
void PumpMessages(DWORD milliseconds);

struct TestDevice {
  Microsoft::WRL::ComPtr<IDirect3D9> d3d;
  D3DPRESENT_PARAMETERS params{};
  Microsoft::WRL::ComPtr<IDirect3DDevice9> device;
  Microsoft::WRL::ComPtr<IDirect3DSurface9> backBuffer;

  // Made exactly as the engine makes its device; false when any step fails.
  bool Create(HWND window);
};

struct Colour {
  int r, g, b, a;
};

// Every texel of a render target, read back through system memory (D3DFMT_*8R8G8B8 targets).
class ReadBack {
 public:
  ReadBack(IDirect3DDevice9* device, IDirect3DSurface9* target);
  // A system-memory surface, read as it is.
  explicit ReadBack(IDirect3DSurface9* systemMemorySurface);
  bool Ok() const { return ok; }
  Colour At(int x, int y) const;
  int Width() const { return width; }
  int Height() const { return height; }

 private:
  void Read(IDirect3DSurface9* surface);

  std::vector<uint32_t> texels;
  int width = 0;
  int height = 0;
  bool ok = false;
};

class PlaybackRenderer;
// The renderer's second pass onto the device's back buffer, read back; null when either fails.
std::unique_ptr<ReadBack> DrawAndReadViews(PlaybackRenderer& renderer, const TestDevice& device);

// A monitor record at rect whose capture is one colour in 4-byte pixels.
MonitorRecord SolidMonitor(PixelRect rect, Colour colour);

// The two textures the frame producer publishes for one frame, made by the same conversions:
// greyOf(x, y) is the frame's grey with y counted from the top (0 = black shadow, 255 = white).
struct SilhouetteTextures {
  std::unique_ptr<QuadTexture> silhouette;
  std::unique_ptr<QuadTexture> mask;
  bool Ok() const { return silhouette && mask; }
};
SilhouetteTextures MakeSilhouette(IDirect3DDevice9* device, int width, int height, int foregroundPercent,
                                  const std::function<int(int x, int y)>& greyOf);
