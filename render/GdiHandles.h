#pragma once
// Owners of the GDI handles the desktop capture uses.
#include <windows.h>

#include <memory>
#include <type_traits>

class ScreenDc {
 public:
  ScreenDc() : dc(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc) ReleaseDC(nullptr, dc);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc; }

 private:
  HDC dc;
};

struct MemoryDcDelete {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDelete>;

struct GdiObjectDelete {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDelete>;

// Selects an object into a device context for one scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc, previous); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc;
  HGDIOBJ previous;
};
