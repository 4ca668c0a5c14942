// A Windows-side helper for the end-to-end scripts: it finds and measures the programs' windows,
// hosts a preview pane the way the display settings do, and drives the settings dialog.
//   saverprobe wait-window <class> <timeout ms>
//       prints "x y width height visible topmost" of the first top-level window of that class.
//   saverprobe wait-foreground <class> <timeout ms>
//       waits until a window of that class is the foreground window (it then gets the keyboard).
//   saverprobe preview-host <saver> <width> <height> <switch form: space|colon>
//       makes a parent window, starts the saver in it, checks the child, destroys the parent.
//   saverprobe pane-gone-during-warning <saver>
//       starts the saver in a pane, waits for a message box of the saver's start-up, destroys the
//       pane while the box is open, checks that the saver ends with status 0.
//   saverprobe answer-box <timeout ms>
//       waits for a message box, prints "caption: ..." and "text: ..." and presses its OK button.
//   saverprobe settings <saver> <arguments> [ok|cancel]
//       starts the saver, prints the settings dialog's title, closes the dialog, checks the exit.
//   saverprobe colour-window <x> <y> <width> <height> <rrggbb>
//       shows a plain window of that colour (a piece of the live desktop) until it is killed.
//   saverprobe move-window <x> <y>
//       moves that window, leaving its place in the z-order and the activation alone.
//   saverprobe start-watch <saver> <arguments> <ceiling ms>
//       screenshots from the saver's start until its first frame shows (StartWatch.h).
// Checks print "PASS: ..." / "FAIL: ..." lines; the exit status is 0 when nothing failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ProbeSupport.h"
#include "StartWatch.h"

namespace {

using probe::Check;
using probe::Launch;
using probe::WaitForWindow;
using probe::Wide;

int WaitWindowCommand(const wchar_t* className, DWORD timeoutMs) {
  HWND window = WaitForWindow(className, 0, nullptr, timeoutMs);
  if (window == nullptr) return 1;
  RECT rect{};
  GetWindowRect(window, &rect);
  const bool topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  std::printf("%ld %ld %ld %ld %d %d\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
              IsWindowVisible(window) ? 1 : 0, topmost ? 1 : 0);
  return 0;
}

int WaitForegroundCommand(const wchar_t* className, DWORD timeoutMs) {
  HWND window = WaitForWindow(className, 0, nullptr, timeoutMs);
  return window != nullptr && probe::WaitUntil([&] { return GetForegroundWindow() == window; }, timeoutMs) ? 0 : 1;
}

int AnswerBoxCommand(DWORD timeoutMs) {
  HWND box = WaitForWindow(L"#32770", 0, nullptr, timeoutMs);
  if (box == nullptr) return 1;
  HWND text = GetDlgItem(box, 0xFFFF);  // the message box's text
  probe::WaitUntil([&] { return !probe::TextOf(text).empty(); }, timeoutMs);
  std::printf("caption: %s\ntext: %s\n", probe::Utf8(probe::TextOf(box)).c_str(),
              probe::Utf8(probe::TextOf(text)).c_str());
  std::fflush(stdout);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return 0;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

// A window standing in for the display settings' preview pane, with a client area of that size.
HWND CreatePane(int width, int height) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &ParentProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"KagemiraPreviewPane";
  RegisterClassW(&windowClass);
  RECT outer{0, 0, width, height};
  AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
  return CreateWindowExW(0, windowClass.lpszClassName, L"pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                         outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, windowClass.hInstance,
                         nullptr);
}

std::wstring HandleText(HWND window) { return std::to_wstring(reinterpret_cast<UINT_PTR>(window)); }

int PaneGoneDuringWarningCommand(const wchar_t* saver) {
  HWND parent = CreatePane(152, 112);
  PROCESS_INFORMATION process = Launch(saver, L"/p " + HandleText(parent));
  HWND box = WaitForWindow(L"#32770", process.dwProcessId, nullptr, 30000);
  Check(box != nullptr, "the saver's start-up shows its message box");
  DestroyWindow(parent);
  const long status = probe::WaitForExit(process, 15000);
  std::printf("exit status %ld\n", status);
  Check(status == 0, "with the pane gone the saver ends cleanly, with status 0");
  return probe::failures() == 0 ? 0 : 1;
}

int PreviewHostCommand(const wchar_t* saver, int width, int height, bool colonForm) {
  HWND parent = CreatePane(width, height);
  const std::wstring handle = HandleText(parent);
  PROCESS_INFORMATION process = Launch(saver, colonForm ? L"/p:" + handle : L"/p " + handle);

  HWND child = WaitForWindow(L"WindowsScreenSaverClass", 0, parent, 30000);
  Check(child != nullptr, "the saver creates its window inside the preview pane");
  if (child != nullptr) {
    RECT client{}, inner{};
    GetClientRect(parent, &client);
    GetWindowRect(child, &inner);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&inner), 2);
    std::printf("pane %ldx%ld, child at %ld,%ld size %ldx%ld\n", client.right, client.bottom, inner.left, inner.top,
                inner.right - inner.left, inner.bottom - inner.top);
    Check(inner.left == 0 && inner.top == 0 && inner.right == client.right && inner.bottom == client.bottom,
          "the child window fills the pane's client area");
    Check((GetWindowLongW(child, GWL_STYLE) & WS_CHILD) != 0, "the preview window is a child window");
    // Input does not end a preview.
    PostMessageW(child, WM_KEYDOWN, 'A', 0);
    PostMessageW(child, WM_LBUTTONDOWN, 0, 0);
    Check(WaitForSingleObject(process.hProcess, 700) == WAIT_TIMEOUT, "the preview stays up on input");
  }
  DestroyWindow(parent);
  const DWORD start = GetTickCount();
  // A ceiling for a hung saver only; a busy machine may take a while.
  const bool ended = probe::WaitForExit(process, 15000) >= 0;
  std::printf("ended %lu ms after the pane\n", GetTickCount() - start);
  Check(ended, "the saver ends when the pane goes");
  return probe::failures() == 0 ? 0 : 1;
}

int SettingsCommand(const wchar_t* saver, const wchar_t* arguments, bool ok) {
  PROCESS_INFORMATION process = Launch(saver, arguments);
  HWND dialog = WaitForWindow(L"#32770", process.dwProcessId, nullptr, 30000);
  Check(dialog != nullptr, "the settings dialog opens");
  if (dialog != nullptr) {
    wchar_t title[256] = {};
    GetWindowTextW(dialog, title, 256);
    std::printf("title: %s\n", probe::Utf8(title).c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ok ? IDOK : IDCANCEL, BN_CLICKED), 0);
  }
  const long status = probe::WaitForExit(process, 15000);
  Check(status >= 0, "the dialog closes and the program ends");
  std::printf("exit status %ld\n", status >= 0 ? status : 99);
  return probe::failures() == 0 ? 0 : 1;
}

const wchar_t kColourWindowClass[] = L"KagemiraColourWindow";

int ColourWindowCommand(int x, int y, int width, int height, const char* hex) {
  const unsigned long rgb = std::strtoul(hex, nullptr, 16);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kColourWindowClass;
  windowClass.hbrBackground = CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, kColourWindowClass, L"colour", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 1;
  std::printf("shown\n");
  std::fflush(stdout);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

int MoveWindowCommand(int x, int y) {
  HWND window = WaitForWindow(kColourWindowClass, 0, nullptr, 5000);
  if (window == nullptr) return 1;
  return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 7 && std::string(argv[1]) == "colour-window") {
    return ColourWindowCommand(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), argv[6]);
  }
  if (argc >= 4 && std::string(argv[1]) == "move-window")
    return MoveWindowCommand(std::atoi(argv[2]), std::atoi(argv[3]));
  if (argc >= 4 && std::string(argv[1]) == "wait-window") {
    return WaitWindowCommand(Wide(argv[2]).c_str(), static_cast<DWORD>(std::atoi(argv[3])));
  }
  if (argc >= 3 && std::string(argv[1]) == "answer-box")
    return AnswerBoxCommand(static_cast<DWORD>(std::atoi(argv[2])));
  if (argc >= 4 && std::string(argv[1]) == "wait-foreground") {
    return WaitForegroundCommand(Wide(argv[2]).c_str(), static_cast<DWORD>(std::atoi(argv[3])));
  }
  if (argc >= 6 && std::string(argv[1]) == "preview-host") {
    return PreviewHostCommand(Wide(argv[2]).c_str(), std::atoi(argv[3]), std::atoi(argv[4]),
                              std::string(argv[5]) == "colon");
  }
  if (argc >= 3 && std::string(argv[1]) == "pane-gone-during-warning") {
    return PaneGoneDuringWarningCommand(Wide(argv[2]).c_str());
  }
  if (argc >= 5 && std::string(argv[1]) == "start-watch") {
    return StartWatchCommand(Wide(argv[2]).c_str(), Wide(argv[3]).c_str(), static_cast<DWORD>(std::atoi(argv[4])));
  }
  if (argc >= 4 && std::string(argv[1]) == "settings") {
    const bool ok = argc >= 5 && std::string(argv[4]) == "ok";
    return SettingsCommand(Wide(argv[2]).c_str(), Wide(argv[3]).c_str(), ok);
  }
  std::fprintf(stderr,
               "usage: saverprobe wait-window|preview-host|settings|colour-window|move-window|start-watch ...\n");
  return 2;
}
