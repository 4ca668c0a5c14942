#include "StartWatch.h"

#include <cstdio>
#include <cstdlib>

#include "ProbeSupport.h"
#include "base/GdiHandles.h"

namespace {
// Every so many pixels in each direction: a whole-black screen has none of them lit.
constexpr int kSampleStep = 8;

bool Near(COLORREF a, COLORREF b) { return probe::ChannelsWithin(a, b, 8); }

// The whole virtual screen, read into a bitmap of our own, top row first.
class Screenshot {
 public:
  Screenshot() : memory_(CreateCompatibleDC(screen_.Get())) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(screen_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const uint32_t*>(bits);
  }

  void Take() {
    const SelectedObject selected(memory_.get(), bitmap_.get());
    BitBlt(memory_.get(), 0, 0, width_, height_, screen_.Get(), left_, top_, SRCCOPY);
    GdiFlush();
  }
  COLORREF At(int x, int y) const { return bits_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF; }
  COLORREF Centre() const { return At(width_ / 2, height_ / 2); }
  // Of the sampled pixels, how many are lit, and how many are far from the colour.
  void Count(COLORREF colour, long& lit, long& other) const {
    lit = other = 0;
    for (int y = 0; y < height_; y += kSampleStep) {
      for (int x = 0; x < width_; x += kSampleStep) {
        lit += At(x, y) != 0;
        other += !Near(At(x, y), colour);
      }
    }
  }

 private:
  const int width_ = GetSystemMetrics(SM_CXVIRTUALSCREEN), height_ = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const int left_ = GetSystemMetrics(SM_XVIRTUALSCREEN), top_ = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const ScreenDc screen_;
  const MemoryDc memory_;
  GdiBitmap bitmap_;
  const uint32_t* bits_ = nullptr;
};

// The saver's visible window, if it has one yet.
HWND VisibleSaverWindow(DWORD processId) {
  return probe::FindVisibleWindow([&](HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == processId && probe::ClassOf(window) == L"WindowsScreenSaverClass";
  });
}
}  // namespace

int StartWatchCommand(const wchar_t* saver, const wchar_t* arguments, DWORD ceilingMs) {
  Screenshot shot;
  shot.Take();
  const COLORREF desktop = shot.Centre();
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const auto elapsedMs = [&] {
    QueryPerformanceCounter(&now);
    return static_cast<long>((now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
  };
  PROCESS_INFORMATION process = probe::Launch(saver, arguments);

  HWND window = nullptr;
  long windowMs = -1, desktopMs = -1, frameMs = -1, shots = 0, black = 0;
  while (elapsedMs() < static_cast<long>(ceilingMs) && frameMs < 0) {
    if (window == nullptr) {
      window = VisibleSaverWindow(process.dwProcessId);
      if (window == nullptr) {
        Sleep(1);
        continue;
      }
      windowMs = elapsedMs();
    }
    shot.Take();
    const long at = elapsedMs();
    ++shots;
    long lit = 0, other = 0;
    shot.Count(desktop, lit, other);
    if (lit == 0) {
      ++black;
      continue;
    }
    if (desktopMs < 0) desktopMs = at;
    // A frame changes the picture somewhere: a silhouette, or the screen's colour over the desktop.
    if (other > 0) frameMs = at;
  }
  std::printf("window=%ld\ndesktop=%ld\nframe=%ld\nshots=%ld\nblack=%ld\n", windowMs, desktopMs, frameMs, shots, black);
  std::fflush(stdout);
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  probe::WaitForExit(process, 15000);
  return window != nullptr ? 0 : 1;
}
