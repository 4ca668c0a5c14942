#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "HostWindow.h"
#include "TestFrameFile.h"
#include "bench/media/MediaBench.h"
#include "bench/media/PlayedFigures.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "media/GraphUtilities.h"
#include "tests/wine/settings/SettingsLocation.h"

int BenchVideoBackground(const std::wstring& video, double seconds) {
  // An animation longer than the run, so that no restart falls into it.
  const std::wstring dataFile = ProgramFolder() + L"um.bin";
  const uint32_t frames = static_cast<uint32_t>(seconds * 30) + 300;
  if (!WriteTestFrameFile(dataFile, 512, 384, frames,
                          [](uint32_t frame) { return static_cast<uint8_t>(frame % 256); })) {
    std::printf("the frame file could not be written\n");
    return 1;
  }
  SettingsLocation settings;
  const std::string path(video.begin(), video.end());
  settings.WriteIni({{"bgmEnabled", "1"}, {"bgmPath", path.c_str()}, {"bgmVolume", "0"}, {"VideoRenderer", "1"}});

  HostWindow host;
  SetWindowPos(host.hwnd(), nullptr, 0, 0, 1280, 720, SWP_NOZORDER);
  auto engine = std::make_unique<UmbraneEngine>();
  host.onDestroy = [&] { engine.reset(); };
  if (!engine->Startup(host.hwnd(), false, PlaybackStart::Immediately) || !engine->backgroundGraph()->HasVideo()) {
    std::printf("the engine did not start with video\n");
    return 1;
  }
  // Past the start: the first frames, the textures and views made.
  if (!HostWindow::PumpUntil([&] { return engine->statistics().videoFramesDrawn >= 30; }, 30000)) {
    std::printf("no video drawn\n");
    return 1;
  }
  // Which filter reads the file: DirectShow's own, or the Media Foundation source.
  for (const auto& source : GetSourceFilters(engine->backgroundGraph()->graphBuilder())) {
    std::printf("source filter: %ls\n", GetFilterName(source.Get()).c_str());
  }
  const PlayedFigures figures =
      MeasurePlayback(*engine, *engine->backgroundGraph(), engine->statistics().videoFramesDrawn, seconds);
  std::printf("%.1f s of a %ls background\n", figures.elapsed, video.c_str());
  PrintPlayedFigures(figures, "video");
  DestroyWindow(host.hwnd());
  DeleteFileW(dataFile.c_str());
  return 0;
}
