#pragma once
// Owners of GDI handles: device contexts, bitmaps and brushes, selections.
#include <windows.h>

#include <memory>
#include <type_traits>

// The device context of the screen, or of one window; flags as GetDCEx takes them (DCX_CACHE gives
// a context of its own even for a window whose class owns one).
class ScreenDc {
 public:
  explicit ScreenDc(HWND window = nullptr, DWORD flags = 0)
      : window_(window), dc_(flags != 0 ? GetDCEx(window, nullptr, flags) : GetDC(window)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

struct MemoryDcDelete {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDelete>;

struct GdiObjectDelete {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDelete>;
using GdiBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDelete>;

// Selects an object into a device context for one scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
