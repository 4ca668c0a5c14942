#include "render/CapturePaint.h"

#include <vector>

#include "render/CapturePixels.h"

namespace {
void PaintCapture(HDC target, const MonitorRecord& monitor) {
  const int32_t bitsPerPixel = monitor.bytesPerPixel * 8;
  const size_t rowBytes = static_cast<size_t>(monitor.captureWidth) * static_cast<size_t>(monitor.bytesPerPixel);
  const size_t rows = static_cast<size_t>(monitor.captureHeight);
  if (rowBytes == 0 || rows == 0 || monitor.pixels.size() < rowBytes * rows) return;

  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } info{};
  info.header.biSize = sizeof(info.header);
  info.header.biWidth = monitor.captureWidth;
  info.header.biHeight = monitor.captureHeight;  // positive: the record's rows are bottom-up
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
  // 16-bit pixels in the screen's own layout, which the record's masks describe.
  info.header.biCompression = bitsPerPixel == 16 ? BI_BITFIELDS : BI_RGB;
  info.masks[0] = monitor.redMask;
  info.masks[1] = monitor.greenMask;
  info.masks[2] = monitor.blueMask;

  // The record's rows are exactly the picture's width; a bitmap's are whole 4-byte units.
  const size_t stride = BitmapStride(monitor.captureWidth, bitsPerPixel);
  const uint8_t* bits = monitor.pixels.data();
  std::vector<uint8_t> padded;
  if (stride != rowBytes) {
    padded.resize(stride * rows);
    CopyRows(monitor.pixels.data(), rowBytes, padded.data(), stride, rowBytes, rows);
    bits = padded.data();
  }
  SetDIBitsToDevice(target, monitor.x, monitor.y, static_cast<DWORD>(monitor.captureWidth),
                    static_cast<DWORD>(monitor.captureHeight), 0, 0, 0, static_cast<UINT>(rows), bits,
                    reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
}
}  // namespace

void PaintCaptures(HDC target, const DisplayLayout& layout) {
  for (const MonitorRecord& monitor : layout.monitors) PaintCapture(target, monitor);
}
