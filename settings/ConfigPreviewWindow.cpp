#include "settings/ConfigPreviewWindow.h"

#include <utility>

#include "base/FatalCheck.h"
#include "resources/resource.h"
#include "settings/UmbraneConfig.h"

namespace {
const wchar_t kClassName[] = L"preview frame";

void RegisterPreviewClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  // A second dialog in the same process finds the class registered already.
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    FatalLastError("registering the preview window class");
  }
}

// A 32-bit bottom-up device-independent bitmap, all zero (black) when new.
GdiBitmap CreatePreviewBitmap(HDC reference, int32_t width, int32_t height, uint32_t*& bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: rows bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
  void* pixels = nullptr;
  GdiBitmap bitmap(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap || pixels == nullptr) Fatal("creating a preview bitmap");
  bits = static_cast<uint32_t*>(pixels);
  return bitmap;
}

struct Sample {
  GdiBitmap bitmap;
  int32_t width;
  int32_t height;
};

Sample LoadSample(HINSTANCE instance) {
  GdiBitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDB_PREVIEW_SAMPLE), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  BITMAP description{};
  if (!bitmap || GetObjectW(bitmap.get(), sizeof description, &description) != sizeof description) {
    Fatal("loading the preview sample");
  }
  return {std::move(bitmap), description.bmWidth, description.bmHeight};
}
}  // namespace

ConfigPreviewWindow::ConfigPreviewWindow(HINSTANCE instance, const RECT& screenRect)
    : instance(instance), screenRect(screenRect) {}

ConfigPreviewWindow::~ConfigPreviewWindow() {
  // The window normally goes with the dialog first; if it outlives this object it must not call in.
  if (window != nullptr && IsWindow(window)) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

std::unique_ptr<ConfigPreviewWindow> ConfigPreviewWindow::Create(HINSTANCE instance, const RECT& screenRect,
                                                                 HWND parent, const RECT& placement) {
  std::unique_ptr<ConfigPreviewWindow> preview(new ConfigPreviewWindow(instance, screenRect));
  RegisterPreviewClass(instance, &WindowProcedure);
  const HWND created = CreateWindowExW(
      WS_EX_CLIENTEDGE | WS_EX_TOPMOST, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
      placement.left, placement.top, placement.right - placement.left, placement.bottom - placement.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PREVIEW_WINDOW)), instance, preview.get());
  if (created == nullptr) FatalLastError("creating the preview window");
  return preview;
}

LRESULT CALLBACK ConfigPreviewWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ConfigPreviewWindow* preview = nullptr;
  if (message == WM_NCCREATE) {
    preview = static_cast<ConfigPreviewWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    preview->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(preview));
  } else {
    preview = reinterpret_cast<ConfigPreviewWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (preview == nullptr) return DefWindowProcW(window, message, wParam, lParam);

  switch (message) {
    case WM_SIZE:
      GetClientRect(window, &preview->clientRect);
      preview->UpdateLayout();
      return 0;
    case WM_PAINT:
      preview->Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the copy covers everything: erasing would only flicker
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      preview->window = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void ConfigPreviewWindow::ShowLook(const UmbraneConfig& config) {
  look_ = {config.foregroundAlpha, config.backgroundAlpha, config.frameEnabled, config.confineBgFilterToShadowGraph};
  if (config.MagType != magType_) {
    magType_ = config.MagType;
    UpdateLayout();
  }
  Render();
}

void ConfigPreviewWindow::UpdateLayout() {
  const Sample sample = LoadSample(instance);
  const PixelRect picture =
      preview_composition::PictureRect({clientRect.right - clientRect.left, clientRect.bottom - clientRect.top},
                                       {screenRect.right - screenRect.left, screenRect.bottom - screenRect.top},
                                       {sample.width, sample.height}, magType_);
  pictureX = picture.x;
  pictureY = picture.y;
  pictureWidth = picture.width;
  pictureHeight = picture.height;
}

void ConfigPreviewWindow::Render() {
  const int32_t width = clientRect.right;
  const int32_t height = clientRect.bottom;
  if (width <= 0 || height <= 0) return;  // nothing to show in an empty window

  const ScreenDc windowDc(window);
  // The preview always matches its window: a bitmap of another size would be written past its end.
  if (!bitmap || width != bitmapWidth_ || height != bitmapHeight_) {
    bitmap = CreatePreviewBitmap(windowDc.Get(), width, height, bits);
    bitmapWidth_ = width;
    bitmapHeight_ = height;
  }
  uint32_t* stagedBits = nullptr;
  const GdiBitmap staged = CreatePreviewBitmap(windowDc.Get(), width, height, stagedBits);
  {
    const MemoryDc sampleDc(CreateCompatibleDC(windowDc.Get()));
    const MemoryDc stagedDc(CreateCompatibleDC(windowDc.Get()));
    if (!sampleDc || !stagedDc) Fatal("creating the preview's drawing contexts");
    const Sample sample = LoadSample(instance);
    const SelectedObject sampleSelected(sampleDc.get(), sample.bitmap.get());
    const SelectedObject stagedSelected(stagedDc.get(), staged.get());
    // Without borders the area around the picture is the screen (white); with them it stays black.
    if (!look_.frameEnabled) FillRect(stagedDc.get(), &clientRect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    StretchBlt(stagedDc.get(), pictureX, pictureY, pictureWidth, pictureHeight, sampleDc.get(), 0, 0, sample.width,
               sample.height, SRCCOPY);
    GdiFlush();  // the pixels are read directly below
  }
  preview_composition::Compose(stagedBits, bits, {width, height}, {pictureX, pictureY, pictureWidth, pictureHeight},
                               look_);
}

void ConfigPreviewWindow::Paint() {
  PAINTSTRUCT paint;
  const HDC target = BeginPaint(window, &paint);
  if (bitmap) {
    const MemoryDc source(CreateCompatibleDC(target));
    if (source) {
      const SelectedObject selected(source.get(), bitmap.get());
      BitBlt(target, 0, 0, clientRect.right, clientRect.bottom, source.get(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(window, &paint);
}
