// What the layered-window mode costs, measured on the real engine under Wine: the engine starts in
// layered mode on a window of the given size, then its playback thread is stopped and this program
// takes the playback side over (the same renderer and read-back the layered loop uses), so that
// every step can be timed:
//   1. one frame: render (first pass and layered pass) with the read-back, then the window thread's
//      update (the layered presenter's PresentNewest, which calls UpdateLayeredWindow); allocations on that path;
//   2. the window thread's processor time per second from the 1 ms timer while no frame is new;
//   3. the latency from the frame-ready event to the finished update, frames announced at the
//      producer's pace.
//   layered_bench.exe [--width W] [--height H] [--frames N] [--seconds S]
// um.bin is read beside the program (tools/bench puts the default animation there).
#include <d3d9.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "bench/pacing/BenchWindow.h"
#include "bench/pacing/PacingFigures.h"
#include "engine/PlaybackSettings.h"
#include "base/FatalCheck.h"
#include "base/ThreadToolkit.h"
#include "engine/UmbraneEngine.h"
#include "media/ShadowGraphProvider.h"
#include "render/LayeredRenderer.h"
#include "settings/UmbraneConfig.h"
#include "tests/wine/support/AllocationCounter.h"

namespace {
struct Options {
  int width = 1280;
  int height = 1024;
  int frames = 300;
  double seconds = 10;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring arg = argv[i];
    if (arg == L"--width") {
      options.width = _wtoi(argv[i + 1]);
    } else if (arg == L"--height") {
      options.height = _wtoi(argv[i + 1]);
    } else if (arg == L"--frames") {
      options.frames = _wtoi(argv[i + 1]);
    } else if (arg == L"--seconds") {
      options.seconds = _wtof(argv[i + 1]);
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && options.width > 0 && options.height > 0 && options.frames > 0 && options.seconds > 0;
}

int64_t Counter() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Milliseconds(int64_t counts) {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return 1000.0 * static_cast<double>(counts) / frequency;
}

double ThreadSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

void PrintFigure(const char* what, const std::vector<double>& ms) {
  std::printf("  %-28s median %7.2f ms  p99 %7.2f ms  (%zu samples)\n", what, Percentile(ms, 0.5), Percentile(ms, 0.99),
              ms.size());
}

// Dispatches the window thread's messages until the deadline or until afterEach, run after every
// message, answers true. Returns the number of timer ticks dispatched.
template <typename AfterEach>
int PumpUntil(int64_t deadline, AfterEach afterEach) {
  int timerTicks = 0;
  while (Counter() < deadline) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_TIMER) ++timerTicks;
      DispatchMessageW(&message);
      if (afterEach()) return timerTicks;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return timerTicks;
}

int64_t SecondsFromNow(double seconds) { return Counter() + static_cast<int64_t>(seconds / Milliseconds(1) * 1000.0); }

// The bench's side of the playback: the renderer and producer the layered loop would have.
struct PlaybackSide {
  explicit PlaybackSide(UmbraneEngine& engine)
      : engine(engine),
        ready(CreateEventOrDie(false, false)),
        ended(CreateEventOrDie(false, false)),
        frames(OpenedFrames(engine.config())),
        renderer(engine.device()),
        producer(engine.device(), engine.config().foregroundAlpha, *frames, 0, ready.get(), ended.get()) {}

  // The engine's own frame file, opened again: the producer reads it as the layered loop's would.
  static std::unique_ptr<ImageUnpacker> OpenedFrames(const UmbraneConfig& config) {
    auto frames = std::make_unique<ImageUnpacker>();
    FatalUnless(frames->Open(config.dataFilePath, config.memoryCompact), "opening the frame file");
    return frames;
  }

  bool Build() {
    producer.WaitUntilStarted();
    return renderer.BuildResources(RenderSettingsOf(engine.config(), false), engine.layout(), SilhouetteSizeOf(*frames),
                                   {engine.layeredPresenter()->size().cx, engine.layeredPresenter()->size().cy});
  }

  // Render and read back into the frame surface: what the layered loop does for every frame.
  void RenderFrame() {
    {
      LockGuard guard(producer);
      renderer.DrawPackedScene(producer.silhouetteTexture(), producer.maskTexture());
    }
    renderer.DrawLayers();
    LockGuard guard(engine.layeredFrameLock());
    renderer.CopyTo(engine.layeredFrameSurface());
  }

  UmbraneEngine& engine;
  UniqueHandle ready;
  UniqueHandle ended;
  std::unique_ptr<ImageUnpacker> frames;
  LayeredRenderer renderer;
  ShadowGraphProvider producer;
};

void MeasureFrames(UmbraneEngine& engine, PlaybackSide& side, const Options& options) {
  for (int i = 0; i < 5; ++i) side.RenderFrame();  // warm-up
  std::vector<double> render, update, total;
  render.reserve(options.frames);
  update.reserve(options.frames);
  total.reserve(options.frames);
  long allocations = 0;
  for (int i = 0; i < options.frames; ++i) {
    const long before = AllocationCount();
    const int64_t start = Counter();
    side.RenderFrame();
    const int64_t copied = Counter();
    SetEventOrDie(engine.layeredFrameReadyEvent());
    engine.layeredPresenter()->PresentNewest();
    const int64_t shown = Counter();
    allocations += AllocationCount() - before;
    render.push_back(Milliseconds(copied - start));
    update.push_back(Milliseconds(shown - copied));
    total.push_back(Milliseconds(shown - start));
  }
  std::printf("one layered frame at %dx%d:\n", options.width, options.height);
  PrintFigure("render + read-back", render);
  PrintFigure("UpdateLayeredWindow", update);
  PrintFigure("whole frame", total);
  std::printf("  allocations on the per-frame path: %ld in %d frames\n", allocations, options.frames);
}

void MeasureIdleTimer(const Options& options) {
  const HANDLE self = GetCurrentThread();
  const double cpuBefore = ThreadSeconds(self);
  const int64_t start = Counter();
  const int ticks = PumpUntil(SecondsFromNow(options.seconds), [] { return false; });
  const double wall = Milliseconds(Counter() - start) / 1000.0;
  std::printf("window thread with no new frame: %.2f %% of a core, %.0f timer ticks per second\n",
              100.0 * (ThreadSeconds(self) - cpuBefore) / wall, ticks / wall);
}

// One frame at a time, each announced on a 30-per-second grid as the producer paces them: from the
// event to the end of the update is the wait for the next timer tick plus the update itself.
void MeasureLatency(UmbraneEngine& engine, PlaybackSide& side, const Options& options) {
  const int frames = static_cast<int>(options.seconds * 30);
  std::vector<double> latency;
  latency.reserve(frames);
  const int64_t period = SecondsFromNow(1.0 / 30) - Counter();
  int64_t next = Counter();
  for (int i = 0; i < frames; ++i) {
    PumpUntil(next, [] { return false; });
    next += period;
    side.RenderFrame();
    const uint32_t updates = engine.statistics().layeredUpdates;
    const int64_t announced = Counter();
    SetEventOrDie(engine.layeredFrameReadyEvent());
    PumpUntil(SecondsFromNow(2), [&] { return engine.statistics().layeredUpdates != updates; });
    if (engine.statistics().layeredUpdates != updates) latency.push_back(Milliseconds(Counter() - announced));
  }
  std::printf("frame-ready event to finished update (%d frames announced):\n", frames);
  PrintFigure("latency", latency);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: layered_bench.exe [--width W] [--height H] [--frames N] [--seconds S]\n");
    return 2;
  }
  const HWND window = CreateBenchWindow(L"KagemiraLayeredBench", 0, 0, options.width, options.height);
  {
    // The engine reads its settings from the ini file, as the saver does.
    UmbraneConfig settings(window);
    settings.Load();
    settings.layeredWindow = true;
    settings.foregroundAlpha = 100;
    settings.backgroundAlpha = 50;
    settings.Save();
  }
  auto engine = std::make_unique<UmbraneEngine>();
  if (!window || !engine->Startup(window, false, PlaybackStart::Immediately)) {
    std::fprintf(stderr, "layered_bench: the engine did not start (um.bin beside the program?)\n");
    return 1;
  }
  PumpUntil(SecondsFromNow(30), [&] { return engine->statistics().layeredUpdates > 0; });
  if (engine->statistics().layeredUpdates == 0) {
    std::fprintf(stderr, "layered_bench: the layered loop handed no frame to the window in 30 s\n");
    return 1;
  }
  // From here on this program is the playback side.
  engine->playbackThread()->Stop();
  {
    PlaybackSide side(*engine);
    if (!side.Build()) {
      std::fprintf(stderr, "layered_bench: the layered renderer could not be built\n");
      return 1;
    }
    std::printf("layered_bench: %dx%d window, %ux%u frames\n", options.width, options.height,
                engine->frameSource().width(), engine->frameSource().height());
    MeasureFrames(*engine, side, options);
    MeasureIdleTimer(options);
    MeasureLatency(*engine, side, options);
  }
  engine.reset();
  DestroyWindow(window);
  return 0;
}
