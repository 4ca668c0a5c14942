#include "bench/media/PlayedFigures.h"

#include <cstdio>

#include "HostWindow.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "tests/wine/support/AllocationCounter.h"

namespace {
double ThreadSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}
}  // namespace

PlayedFigures MeasurePlayback(UmbraneEngine& engine, DShowFilterGraph& graph, const std::atomic<uint64_t>& drawn,
                              double seconds) {
  HANDLE thread = engine.playbackThread()->handle();
  const uint64_t deliveredBefore = graph.videoDeliveries().framesPresented;
  const uint64_t drawnBefore = drawn;
  const uint64_t presentedBefore = engine.statistics().framesPresented;
  const long allocationsBefore = AllocationCount();
  const double cpuBefore = ThreadSeconds(thread);
  const DWORD start = GetTickCount();
  HostWindow::Pump(static_cast<DWORD>(seconds * 1000));
  PlayedFigures figures;
  figures.elapsed = (GetTickCount() - start) / 1000.0;
  figures.threadCpu = ThreadSeconds(thread) - cpuBefore;
  figures.allocations = AllocationCount() - allocationsBefore;
  figures.delivered = graph.videoDeliveries().framesPresented - deliveredBefore;
  figures.drawn = drawn - drawnBefore;
  figures.presented = engine.statistics().framesPresented - presentedBefore;
  return figures;
}

void PrintPlayedFigures(const PlayedFigures& f, const char* what) {
  using ull = unsigned long long;
  std::printf("%s frames: %llu delivered by the grabber (%.1f per second), %llu drawn (%llu not drawn)\n", what,
              static_cast<ull>(f.delivered), f.delivered / f.elapsed, static_cast<ull>(f.drawn),
              static_cast<ull>(f.delivered > f.drawn ? f.delivered - f.drawn : 0));
  std::printf("frames presented: %llu (%.1f per second)\n", static_cast<ull>(f.presented), f.presented / f.elapsed);
  std::printf("playback thread: %.1f %% of a core, %.2f ms per presented frame\n", f.threadCpu / f.elapsed * 100,
              f.presented ? f.threadCpu * 1000 / f.presented : 0.0);
  std::printf("allocations (operator new) in the process while playing: %ld (%.3f per presented frame)\n",
              f.allocations, f.presented ? static_cast<double>(f.allocations) / f.presented : 0.0);
}
