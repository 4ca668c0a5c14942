// What the saver costs while the displays are off, measured on the real engine under Wine beside
// a process that does nothing but pump its messages: the engine plays in a full-screen window
// with the settings of the ini file minus any background media or shadow movie, the displays go
// off (the system's notification, delivered to the window), and both processes' processor time is
// measured over the same seconds. The frame position before and after, and the frame the picture
// resumes at, show that nothing moved meanwhile. For contrast, the same measure while playing.
//   power_bench.exe [--seconds S]
//   power_bench.exe --idle        the idle process (started by the benchmark itself)
// um.bin is read beside the program (tools/bench puts the default animation there).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "bench/pacing/BenchWindow.h"
#include "engine/UmbraneEngine.h"
#include "base/UniqueHandle.h"
#include "tests/wine/support/DisplayNotification.h"
#include "settings/UmbraneConfig.h"

namespace {
const wchar_t kIdleClass[] = L"KagemiraIdlePump";
// Asks the idle process for its own processor time, in 100-nanosecond units (this platform answers
// another process's times with the caller's own, so each process reads its own).
constexpr UINT kTellProcessTime = WM_APP + 1;

double Seconds(const FILETIME& time) { return (uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime) / 1e7; }

double OwnProcessSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return Seconds(kernel) + Seconds(user);
}

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

// Dispatches messages until the condition holds or the time is up, looking at the condition every
// 10 ms meanwhile.
template <typename Condition>
bool PumpUntil(double seconds, Condition condition, DWORD sliceMs = 10) {
  const double deadline = Now() + seconds;
  while (!condition()) {
    const double left = deadline - Now();
    if (left <= 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(sliceMs, static_cast<DWORD>(left * 1000) + 1),
                              QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

// Only dispatches messages, sleeping in between as a message loop does: nothing of our own runs.
void PumpFor(double seconds) {
  PumpUntil(
      seconds, [] { return false; }, INFINITE);
}

LRESULT CALLBACK IdleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kTellProcessTime) return static_cast<LRESULT>(OwnProcessSeconds() * 1e7);
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

int RunIdleProcess() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = IdleWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kIdleClass;
  RegisterClassW(&windowClass);
  // A message-only window: it pumps like a program's main window, and shows nothing.
  if (!CreateWindowExW(0, kIdleClass, L"idle", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr)) {
    return 1;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

struct IdleProcess {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;

  bool Start() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --idle";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      return false;
    }
    PumpUntil(30, [&] { return (window = FindWindowExW(HWND_MESSAGE, nullptr, kIdleClass, nullptr)) != nullptr; });
    return window != nullptr;
  }
  ~IdleProcess() {
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    const UniqueHandle thread(process.hThread);
    const UniqueHandle running(process.hProcess);
    if (running && WaitForSingleObject(running.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(running.get(), 1);
  }
};

struct Shares {
  double saver = 0;  // share of a core
  double idle = 0;
};

double IdleProcessSeconds(HWND idle) { return static_cast<double>(SendMessageW(idle, kTellProcessTime, 0, 0)) / 1e7; }

// Both processes over the same seconds, this one pumping its messages meanwhile.
Shares Measure(HWND idle, double seconds) {
  const double saverBefore = OwnProcessSeconds();
  const double idleBefore = IdleProcessSeconds(idle);
  const double start = Now();
  PumpFor(seconds);
  const double wall = Now() - start;
  return {(OwnProcessSeconds() - saverBefore) / wall, (IdleProcessSeconds(idle) - idleBefore) / wall};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--idle") return RunIdleProcess();
  double seconds = 10;
  if (argc == 3 && std::wstring(argv[1]) == L"--seconds") seconds = _wtof(argv[2]);
  if (!(seconds > 0) || (argc != 1 && argc != 3)) {
    std::fprintf(stderr, "usage: power_bench.exe [--seconds S]\n");
    return 2;
  }

  const HWND window =
      CreateBenchWindow(L"KagemiraPowerBench", GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
  {
    // The engine reads its settings from the ini file, as the saver does: no background media.
    UmbraneConfig settings(window);
    settings.Load();
    settings.bgmEnabled = false;
    settings.shadowMovieEnabled = false;
    settings.layeredWindow = false;
    settings.Save();
  }
  auto engine = std::make_unique<UmbraneEngine>();
  if (window == nullptr || !engine->Startup(window, false, PlaybackStart::Immediately)) {
    std::fprintf(stderr, "power_bench: the engine did not start (um.bin beside the program?)\n");
    return 1;
  }
  if (!PumpUntil(60, [&] { return engine->statistics().framesPresented >= 30; })) {
    std::fprintf(stderr, "power_bench: the engine presented no frames in 60 s\n");
    return 1;
  }
  IdleProcess idle;
  if (!idle.Start()) {
    std::fprintf(stderr, "power_bench: the idle process did not start\n");
    return 1;
  }
  PumpFor(1);  // both past their start-up

  const Shares playing = Measure(idle.window, seconds);
  DeliverDisplayState(window, kDisplayOff);
  if (!PumpUntil(30, [&] { return engine->statistics().drawingPaused.load(); })) {
    std::fprintf(stderr, "power_bench: playback did not pause\n");
    return 1;
  }
  const int64_t position = engine->resumePosition();
  const uint64_t presented = engine->statistics().framesPresented;
  PumpFor(1);  // the device's own thread finishes the last frame's work
  const Shares off = Measure(idle.window, seconds);
  const int64_t positionAfter = engine->resumePosition();
  const uint64_t presentedDuring = engine->statistics().framesPresented - presented;
  const bool still = positionAfter == position && presentedDuring == 0;

  DeliverDisplayState(window, kDisplayOn);
  PumpUntil(30, [&] { return engine->statistics().framesPresented > presented; });
  const int64_t resumedAt = engine->statistics().lastDrawnFrame;

  std::printf("power_bench: %.0f s per measure, %ldx%ld window, %ux%u frames\n", seconds,
              static_cast<long>(GetSystemMetrics(SM_CXVIRTUALSCREEN)),
              static_cast<long>(GetSystemMetrics(SM_CYVIRTUALSCREEN)), engine->frameSource().width(),
              engine->frameSource().height());
  std::printf("  playing:            saver %6.2f %% of a core, idle process %5.2f %%\n", playing.saver * 100,
              playing.idle * 100);
  std::printf(
      "  displays off:       saver %6.2f %% of a core, idle process %5.2f %%, difference %+.2f %% (target within 0.5 "
      "%%)\n",
      off.saver * 100, off.idle * 100, (off.saver - off.idle) * 100);
  std::printf("  frame position:     %lld before, %lld after (%s), %llu frames presented meanwhile\n",
              static_cast<long long>(position), static_cast<long long>(positionAfter), still ? "unchanged" : "MOVED",
              static_cast<unsigned long long>(presentedDuring));
  std::printf("  display back on:    frame %lld drawn once presenting went on (stopped at %lld)\n",
              static_cast<long long>(resumedAt), static_cast<long long>(position));
  engine.reset();
  DestroyWindow(window);
  return still ? 0 : 1;
}
