// Runs the real frame producer for a while over a frame file, resuming it whenever it ends as the
// playback loop does, and reports how evenly it published: lateness against the clock's grid,
// drift, skipped frames and the producer thread's processor time.
//   pacing_bench.exe [--seconds N] [--file path] [--compact]
#include <d3d9.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/pacing/PacingFigures.h"
#include "bench/pacing/StandInAnimation.h"
#include "base/ThreadToolkit.h"
#include "base/UmbraneAppBase.h"
#include "framedata/ImageUnpacker.h"
#include "media/ShadowGraphProvider.h"
#include "render/Direct3DDevice.h"
#include "settings/UmbraneConfig.h"

using Microsoft::WRL::ComPtr;

namespace {
struct Options {
  double seconds = 20;
  std::wstring file = DEFAULT_ANIMATION;
  bool compact = false;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--seconds" && i + 1 < argc) {
      options.seconds = _wtof(argv[++i]);
    } else if (arg == L"--file" && i + 1 < argc) {
      options.file = argv[++i];
    } else if (arg == L"--compact") {
      options.compact = true;
    } else {
      return false;
    }
  }
  return options.seconds > 0;
}

int64_t Counter() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

int64_t CounterFrequency() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

// Kernel plus user time of a thread, in seconds.
double ThreadSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

// A plain window for the device, as the engine's playback window would be.
HWND CreateBenchWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KagemiraPacingBench";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"pacing", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

std::wstring ChooseFrameFile(const Options& options) {
  if (GetFileAttributesW(options.file.c_str()) != INVALID_FILE_ATTRIBUTES) return options.file;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring standIn = std::wstring(folder) + L"pacing-stand-in.bin";
  std::fwprintf(stderr, L"pacing_bench: %ls not found; writing a 512x384 stand-in animation\n", options.file.c_str());
  return WriteStandInAnimation(standIn) ? standIn : std::wstring();
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: pacing_bench.exe [--seconds N] [--file path] [--compact]\n");
    return 2;
  }
  UmbraneAppBase app;  // 1 ms timer resolution, as the engine holds it
  const HWND window = CreateBenchWindow();
  ComPtr<IDirect3D9> d3d = CreateDirect3D();
  D3DPRESENT_PARAMETERS params{};
  ComPtr<IDirect3DDevice9> device;
  if (!window || !d3d || !FillPresentParameters(d3d.Get(), window, params) ||
      FAILED(CreatePlaybackDevice(d3d.Get(), params, device.GetAddressOf()))) {
    std::fprintf(stderr, "pacing_bench: no Direct3D device\n");
    return 1;
  }
  const std::wstring file = ChooseFrameFile(options);
  ImageUnpacker unpacker;
  if (file.empty() || !unpacker.Open(file, options.compact)) {
    std::fprintf(stderr, "pacing_bench: cannot open the frame file\n");
    return 1;
  }
  UmbraneConfig settings(window);
  settings.foregroundAlpha = 100;

  const UniqueHandle ready = CreateEventOrDie(false, false);
  const UniqueHandle ended = CreateEventOrDie(false, false);
  const int64_t frequency = CounterFrequency();
  const int64_t period = frequency / 30;
  const int64_t end = Counter() + static_cast<int64_t>(options.seconds * static_cast<double>(frequency));

  std::vector<PacingRun> runs(1);
  runs.back().stamps.reserve(static_cast<size_t>(options.seconds * 30) + 64);
  int64_t runsWithoutFrames = 0;
  double producerSeconds = 0, wallSeconds = 0;
  {
    ShadowGraphProvider producer(device.Get(), settings.foregroundAlpha, unpacker, 0, ready.get(), ended.get());
    producer.WaitUntilStarted();
    ResetEventOrDie(ready.get());  // frame 0 is not paced
    const double cpuBefore = ThreadSeconds(producer.handle());
    const int64_t begin = Counter();
    producer.Resume();
    for (int64_t now = begin; now < end; now = Counter()) {
      const HANDLE signalled = WaitAnyFor({ready.get(), ended.get()}, 2000);
      const int64_t seen = Counter();
      if (signalled == ready.get()) {
        runs.back().stamps.push_back({seen, producer.currentFrame()});
      } else if (signalled == ended.get()) {
        // As the playback loop restarts with background media: from the start once the last frame was shown.
        if (producer.frameCount() <= producer.currentFrame() + 1) producer.RewindToStart();
        if (runs.back().stamps.empty()) ++runsWithoutFrames;
        runs.emplace_back();
        producer.Resume();
      } else {
        std::fprintf(stderr, "pacing_bench: no frame for two seconds\n");
        return 1;
      }
    }
    wallSeconds = static_cast<double>(Counter() - begin) / static_cast<double>(frequency);
    producerSeconds = ThreadSeconds(producer.handle()) - cpuBefore;
  }
  DestroyWindow(window);

  const PacingFigures figures = ComputePacingFigures(runs, frequency, period);
  std::printf("pacing_bench: %.1f s over %ls (%ux%u, %u frames%s), counter %lld Hz\n", wallSeconds, file.c_str(),
              unpacker.width(), unpacker.height(), unpacker.frameCount(), options.compact ? ", on demand" : "",
              static_cast<long long>(frequency));
  std::printf("published frames: %zu in %zu runs (%lld runs ended without a frame)\n", figures.frames, figures.runs,
              static_cast<long long>(runsWithoutFrames));
  std::printf("grid error ms: median %.3f p99 %.3f max %.3f\n", figures.medianErrorMs, figures.p99ErrorMs,
              figures.maxErrorMs);
  std::printf("drift periods: %.4f (worst run, its last second against its first)\n", figures.worstDriftPeriods);
  std::printf("skipped frames: %lld\n", static_cast<long long>(figures.skippedFrames));
  std::printf("producer CPU: %.2f %% of a core\n", 100.0 * producerSeconds / wallSeconds);
  return 0;
}
