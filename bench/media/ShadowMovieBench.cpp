#include <ddraw.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdio>
#include <memory>
#include <string>

#include "HostWindow.h"
#include "bench/media/MediaBench.h"
#include "bench/media/PlayedFigures.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "base/LockedDirectDrawSurface.h"
#include "render/QuadTexture.h"
#include "tests/wine/render/RenderTestSupport.h"
#include "tests/wine/settings/SettingsLocation.h"

using Microsoft::WRL::ComPtr;

namespace {
const char* DrawingName(PlaybackStatistics::MovieDrawing drawing) {
  switch (drawing) {
    case PlaybackStatistics::MovieDrawing::D3dxEffect:
      return "d3dx";
    case PlaybackStatistics::MovieDrawing::DeviceShaderEffect:
      return "shaders";
    case PlaybackStatistics::MovieDrawing::Opaque:
      return "opaque";
    default:
      return "not yet";
  }
}
}  // namespace

int BenchShadowMovie(const std::wstring& movie, double seconds, const std::string& effect) {
  SettingsLocation settings;
  const std::string path(movie.begin(), movie.end());
  settings.WriteIni({{"shadowMovieEnabled", "1"},
                     {"shadowMoviePath", path.c_str()},
                     {"shadowMovieVolume", "0"},
                     {"MagType", "1"},
                     {"VideoRenderer", "1"}});
  HostWindow host;
  SetWindowPos(host.hwnd(), nullptr, 0, 0, 1280, 1024, SWP_NOZORDER);
  auto engine = std::make_unique<UmbraneEngine>();
  host.onDestroy = [&] { engine.reset(); };
  if (!engine->Startup(host.hwnd(), false, PlaybackStart::Immediately) || !engine->shadowGraph()) {
    std::printf("the engine did not start with the shadow movie\n");
    return 1;
  }
  if (!HostWindow::PumpUntil([&] { return engine->statistics().movieFramesDrawn >= 30; }, 30000)) {
    std::printf("no movie frame drawn\n");
    return 1;
  }
  const char* drawing = DrawingName(engine->statistics().movieDrawing);
  if (!effect.empty() && effect != drawing) {
    std::printf("the movie is drawn %s, not through the %s effect\n", drawing, effect.c_str());
    return 1;
  }
  const PlayedFigures figures =
      MeasurePlayback(*engine, *engine->shadowGraph(), engine->statistics().movieFramesDrawn, seconds);
  std::printf("%.1f s of the shadow movie %ls over a 1280x1024 window (%u restarts), effect: %s\n", figures.elapsed,
              movie.c_str(), static_cast<unsigned>(engine->statistics().movieRestarts), drawing);
  PrintPlayedFigures(figures, "movie");
  DestroyWindow(host.hwnd());
  return 0;
}

int BenchVmr7Copy(int copies) {
  TestWindow window(0, 0, 640, 480);
  TestDevice device;
  ComPtr<IDirectDraw7> ddraw;
  if (!device.Create(window.Handle()) ||
      FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(ddraw.GetAddressOf()), IID_IDirectDraw7, nullptr)) ||
      FAILED(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
    std::printf("no device or DirectDraw object\n");
    return 1;
  }
  // A 640x480 32-bit frame as the VMR-7 would present it, in system memory.
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = 640;
  desc.dwHeight = 480;
  desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
  desc.ddpfPixelFormat.dwRGBBitCount = 32;
  desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
  desc.ddpfPixelFormat.dwGBitMask = 0x00FF00;
  desc.ddpfPixelFormat.dwBBitMask = 0x0000FF;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ComPtr<IDirectDrawSurface7> frame;
  if (FAILED(ddraw->CreateSurface(&desc, frame.GetAddressOf(), nullptr))) {
    std::printf("no DirectDraw surface\n");
    return 1;
  }
  auto texture = QuadTexture::CreateBlank(device.device.Get(), 640, 480, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  if (!texture || FAILED(texture->CopyFromDirectDrawSurface(frame.Get()))) {
    std::printf("the first copy failed\n");
    return 1;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < copies; ++i) {
    if (FAILED(texture->CopyFromDirectDrawSurface(frame.Get()))) {
      std::printf("copy %d failed\n", i);
      return 1;
    }
  }
  // The copies end on the device: wait for them by reading the texture back.
  ComPtr<IDirect3DSurface9> level;
  texture->GetLevelSurface(level.GetAddressOf());
  ReadBack settled(device.device.Get(), level.Get());
  QueryPerformanceCounter(&end);
  const double ms = (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
  std::printf("VMR-7 copy path, 640x480 32-bit surface -> staging -> texture: %d copies, %.3f ms per copy%s\n", copies,
              ms / copies, settled.Ok() ? "" : " (read-back failed)");
  return 0;
}
