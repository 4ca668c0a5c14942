// The screen-saver framework: command line, saver window, message loop, and ending the full-screen
// saver on user input. It keeps the names and contract of the platform SDK's screen-saver library
// (scrnsave.h), so that a build with the vendor's library can link that one instead.
#include <windows.h>
#include <scrnsave.h>

#include <cstdlib>

#include "hosts/saver/scrnsave/CommandLine.h"
#include "base/GdiHandles.h"

HINSTANCE hMainInstance = nullptr;
HWND hMainWindow = nullptr;
WINBOOL fChildPreview = FALSE;
TCHAR szName[TITLEBARNAMELEN] = {};
TCHAR szAppName[APPNAMEBUFFERLEN] = {};
TCHAR szIniFile[MAXFILELEN] = {};
TCHAR szScreenSaver[22] = {};
TCHAR szHelpFile[MAXFILELEN] = {};
TCHAR szNoHelpMemory[BUFFLEN] = {};
UINT MyHelpMessage = 0;

namespace {

const wchar_t kSaverClassName[] = L"WindowsScreenSaverClass";
// Mouse movement up to this many pixels (at 96 DPI; more on a scaled display, whose pixels are
// smaller) from where the pointer was at start is jitter, not a user.
constexpr int kMouseThresholdAt96Dpi = 4;
// In the preview pane the parent may belong to another process: look every so often whether it went.
constexpr UINT_PTR kParentWatchTimerId = 0x5C5A;
constexpr UINT kParentWatchPeriodMs = 250;

POINT pointerAtStart{};
int mouseThreshold = kMouseThresholdAt96Dpi;
HWND previewParent = nullptr;

int ScaledForScreen(int pixelsAt96Dpi) {
  const ScreenDc screen;
  const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
  return dpi > 0 ? MulDiv(pixelsAt96Dpi, dpi, 96) : pixelsAt96Dpi;
}

void CloseSaver(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

bool MovedBeyondThreshold() {
  POINT now{};
  if (!GetCursorPos(&now)) return false;
  return std::abs(now.x - pointerAtStart.x) > mouseThreshold || std::abs(now.y - pointerAtStart.y) > mouseThreshold;
}

// The class procedure: the framework's part of every message, then the program's ScreenSaverProc.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      hMainWindow = window;
      GetCursorPos(&pointerAtStart);
      mouseThreshold = ScaledForScreen(kMouseThresholdAt96Dpi);
      if (fChildPreview) SetTimer(window, kParentWatchTimerId, kParentWatchPeriodMs, nullptr);
      break;
    case WM_TIMER:
      if (wParam == kParentWatchTimerId) {
        if (!IsWindow(previewParent)) DestroyWindow(window);
        return 0;
      }
      break;
    default:
      break;
  }
  return ScreenSaverProcW(window, message, wParam, lParam);
}

INT_PTR CALLBACK ConfigureDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return ScreenSaverConfigureDialog(dialog, message, wParam, lParam);
}

int RunSettings(HWND owner) {
  if (!RegisterDialogClasses(hMainInstance)) return 0;
  return static_cast<int>(
      DialogBoxParamW(hMainInstance, MAKEINTRESOURCEW(DLG_SCRNSAVECONFIGURE), owner, &ConfigureDialogProc, 0));
}

bool RegisterSaverClass() {
  WNDCLASSW windowClass{};
  windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = &SaverWindowProc;
  windowClass.hInstance = hMainInstance;
  windowClass.hIcon = LoadIconW(hMainInstance, MAKEINTRESOURCEW(ID_APP));
  windowClass.hCursor = fChildPreview ? LoadCursorW(nullptr, IDC_ARROW) : nullptr;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kSaverClassName;
  return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateSaverWindow(HWND parent) {
  if (parent != nullptr) {
    RECT client{};
    GetClientRect(parent, &client);
    return CreateWindowExW(0, kSaverClassName, szName, WS_CHILD | WS_VISIBLE, 0, 0, client.right - client.left,
                           client.bottom - client.top, parent, nullptr, hMainInstance, nullptr);
  }
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  return CreateWindowExW(WS_EX_TOPMOST, kSaverClassName, szName, WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                         nullptr, hMainInstance, nullptr);
}

int RunSaverWindow(HWND parent) {
  previewParent = parent;
  if (!RegisterSaverClass()) return 0;
  HWND window = CreateSaverWindow(parent);
  if (window == nullptr) return 0;
  if (parent == nullptr) SetForegroundWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!fChildPreview) {
    switch (message) {
      case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
      case WM_MOUSEMOVE:
        if (MovedBeyondThreshold()) CloseSaver(window);
        break;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_XBUTTONDOWN:
        CloseSaver(window);
        break;
      case WM_ACTIVATEAPP:
        if (wParam == FALSE) CloseSaver(window);
        break;
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) CloseSaver(window);
        break;
      case WM_SYSCOMMAND:
        // Another screen-saver start while this one runs is swallowed.
        if ((wParam & 0xFFF0) == SC_SCREENSAVE) return FALSE;
        break;
      case WM_CLOSE:
        DestroyWindow(window);
        return 0;
      default:
        break;
    }
  }
  if (message == WM_DESTROY) {
    if (window == hMainWindow) hMainWindow = nullptr;
    PostQuitMessage(0);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  hMainInstance = instance;
  LoadStringW(instance, IDS_DESCRIPTION, szName, TITLEBARNAMELEN);

  const SaverCommand command = ParseSaverCommandLine(commandLine);
  switch (command.mode) {
    case SaverCommand::FullScreen:
      fChildPreview = FALSE;
      return RunSaverWindow(nullptr);
    case SaverCommand::Preview:
      if (command.window == nullptr || !IsWindow(command.window)) return 0;
      fChildPreview = TRUE;
      return RunSaverWindow(command.window);
    case SaverCommand::ChangePassword:
      return 0;  // passwords are the operating system's business nowadays
    case SaverCommand::Settings:
    default:
      return RunSettings(command.window);
  }
}
