#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "HostWindow.h"
#include "TestFrameFile.h"
#include "bench/media/MediaBench.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "tests/wine/render/AllocationCounter.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {
double ThreadSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7; };
  return seconds(kernel) + seconds(user);
}
}  // namespace

int BenchVideoBackground(const std::wstring& video, double seconds) {
  // An animation longer than the run, so that no restart falls into it.
  const std::wstring dataFile = ProgramFolder() + L"um.bin";
  const uint32_t frames = static_cast<uint32_t>(seconds * 30) + 300;
  if (!WriteTestFrameFile(dataFile, 512, 384, frames, [](uint32_t frame) { return static_cast<uint8_t>(frame % 256); })) {
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
  if (!engine->Startup(host.hwnd(), false) || !engine->backgroundGraph->HasVideo()) {
    std::printf("the engine did not start with video\n");
    return 1;
  }
  // Past the start: the first frames, the textures and views made.
  if (!HostWindow::PumpUntil([&] { return engine->videoFramesDrawn >= 30; }, 30000)) {
    std::printf("no video drawn\n");
    return 1;
  }
  DShowFilterGraph& media = *engine->backgroundGraph;
  HANDLE thread = engine->playbackThread->handle();
  const uint64_t deliveredBefore = media.videoDeliveries().framesPresented;
  const uint64_t drawnBefore = engine->videoFramesDrawn;
  const uint64_t presentedBefore = engine->framesPresented;
  const long allocationsBefore = AllocationCount();
  const double cpuBefore = ThreadSeconds(thread);
  const DWORD start = GetTickCount();
  HostWindow::Pump(static_cast<DWORD>(seconds * 1000));
  const double elapsed = (GetTickCount() - start) / 1000.0;
  const double cpu = ThreadSeconds(thread) - cpuBefore;
  const long allocations = AllocationCount() - allocationsBefore;
  const uint64_t delivered = media.videoDeliveries().framesPresented - deliveredBefore;
  const uint64_t drawn = engine->videoFramesDrawn - drawnBefore;
  const uint64_t presented = engine->framesPresented - presentedBefore;

  std::printf("%.1f s of a %ls background\n", elapsed, video.c_str());
  std::printf("video frames: %llu delivered by the grabber (%.1f per second), %llu drawn (%llu not drawn)\n",
              static_cast<unsigned long long>(delivered), delivered / elapsed, static_cast<unsigned long long>(drawn),
              static_cast<unsigned long long>(delivered > drawn ? delivered - drawn : 0));
  std::printf("frames presented: %llu (%.1f per second: animation and video frames)\n",
              static_cast<unsigned long long>(presented), presented / elapsed);
  std::printf("playback thread: %.1f %% of a core\n", cpu / elapsed * 100);
  std::printf("allocations (operator new) in the process while playing: %ld (%.3f per presented frame)\n",
              allocations, presented ? static_cast<double>(allocations) / presented : 0.0);
  DestroyWindow(host.hwnd());
  DeleteFileW(dataFile.c_str());
  return 0;
}
