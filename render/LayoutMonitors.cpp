#include "render/LayoutMonitors.h"

#include <cstring>
#include <vector>

#include "base/FatalCheck.h"
#include "render/CapturePixels.h"
#include "base/GdiHandles.h"

namespace {
struct FoundMonitor {
  RECT rect;
  bool primary;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<std::vector<FoundMonitor>*>(context)->push_back(
        {info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

std::vector<FoundMonitor> EnumerateMonitors() {
  std::vector<FoundMonitor> found;
  if (!EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&found))) found.clear();
  return found;
}

void KeepPrimaryOnly(std::vector<FoundMonitor>& monitors) {
  if (monitors.empty()) return;
  FoundMonitor kept = monitors.front();
  for (const FoundMonitor& m : monitors) {
    if (m.primary) {
      kept = m;
      break;
    }
  }
  monitors.assign(1, kept);
}

struct ScreenFormat {
  int32_t bitsPerPixel = 0;
  bool bitFields = false;  // 16 bits with explicit masks
  uint32_t masks[3] = {0, 0, 0};
};

// The pixel format of a 1 x 1 bitmap compatible with the screen.
ScreenFormat ReadScreenFormat(HDC screen) {
  GdiBitmap probe(CreateCompatibleBitmap(screen, 1, 1));
  if (!probe) FatalLastError("creating a bitmap compatible with the screen");
  BITMAP description{};
  FatalUnless(GetObjectW(probe.get(), sizeof(description), &description) == sizeof(description),
              "reading the compatible bitmap's description");
  FatalUnless(description.bmPlanes == 1, "the screen has more than one plane");
  ScreenFormat format;
  format.bitsPerPixel = description.bmBitsPixel;
  if (format.bitsPerPixel == 16) {
    struct {
      BITMAPINFOHEADER header;
      DWORD masks[3];
    } info{};
    info.header.biSize = sizeof(info.header);
    GetDIBits(screen, probe.get(), 0, 1, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (info.header.biCompression == BI_BITFIELDS) {
      GetDIBits(screen, probe.get(), 0, 1, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
      format.bitFields = true;
      std::memcpy(format.masks, info.masks, sizeof(format.masks));
    } else {
      // An uncompressed 16-bit bitmap is 5-5-5.
      format.masks[0] = 0x7C00;
      format.masks[1] = 0x03E0;
      format.masks[2] = 0x001F;
    }
  }
  return format;
}

// The screen's pixels under rect, rows bottom-up, each exactly width * bytes per pixel long.
std::vector<uint8_t> CaptureArea(HDC screen, const RECT& rect, const ScreenFormat& format) {
  const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } info{};
  info.header.biSize = sizeof(info.header);
  info.header.biWidth = width;
  info.header.biHeight = height;  // positive: bottom-up
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(format.bitsPerPixel);
  // A 16-bit bitmap is made in the screen's own layout, so that the recorded masks describe it.
  info.header.biCompression = format.bitFields ? BI_BITFIELDS : BI_RGB;
  info.header.biSizeImage = static_cast<DWORD>(height * format.bitsPerPixel * width / 8);
  std::memcpy(info.masks, format.masks, sizeof(info.masks));

  void* bits = nullptr;
  GdiBitmap bitmap(CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) FatalLastError("creating the capture bitmap");
  MemoryDc memory(CreateCompatibleDC(screen));
  if (!memory) FatalLastError("creating a memory device context");
  {
    SelectedObject selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  }
  GdiFlush();
  DIBSECTION section{};
  FatalUnless(GetObjectW(bitmap.get(), sizeof(section), &section) == sizeof(section),
              "reading the capture bitmap's description");
  // The bitmap pads every row to 4 bytes; the record keeps rows of exactly the picture's width,
  // so odd widths are not sheared.
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(format.bitsPerPixel / 8);
  const size_t stride = static_cast<size_t>(section.dsBm.bmWidthBytes);
  std::vector<uint8_t> pixels(rowBytes * static_cast<size_t>(height));
  const uint8_t* source = static_cast<const uint8_t*>(section.dsBm.bmBits);
  FatalUnless(source != nullptr && stride >= rowBytes, "the capture bitmap has no usable bits");
  CopyRows(source, stride, pixels.data(), rowBytes, rowBytes, static_cast<size_t>(height));
  return pixels;
}
}  // namespace

DisplayLayout LayoutMonitors(HWND window, bool preview, bool captureDesktop) {
  DisplayLayout layout;
  RECT client{};
  GetClientRect(window, &client);
  layout.clientRect = {client.left, client.top, client.right - client.left, client.bottom - client.top};
  POINT clientOrigin{0, 0};
  ClientToScreen(window, &clientOrigin);

  std::vector<FoundMonitor> monitors = EnumerateMonitors();
  if (preview) KeepPrimaryOnly(monitors);
  if (monitors.empty()) return layout;

  ScreenDc screen;
  const ScreenFormat format = ReadScreenFormat(screen.Get());
  for (const FoundMonitor& found : monitors) {
    const RECT& r = found.rect;
    MonitorRecord record;
    record.captureWidth = r.right - r.left;
    record.captureHeight = r.bottom - r.top;
    if (preview) {
      record.width = layout.clientRect.width;
      record.height = layout.clientRect.height;
    } else {
      record.x = r.left - clientOrigin.x;
      record.y = r.top - clientOrigin.y;
      record.width = record.captureWidth;
      record.height = record.captureHeight;
    }
    record.bytesPerPixel = format.bitsPerPixel / 8;
    record.redMask = format.masks[0];
    record.greenMask = format.masks[1];
    record.blueMask = format.masks[2];
    if (captureDesktop) record.pixels = CaptureArea(screen.Get(), r, format);
    layout.monitors.push_back(std::move(record));
  }
  return layout;
}

PixelSize PreviewScale(PixelSize picture, int32_t previewWidth) {
  return PreviewScale(picture, previewWidth, GetSystemMetrics(SM_CXSCREEN));
}
