// A Windows-side helper for the end-to-end scripts: it finds and measures the programs' windows,
// hosts a preview pane the way the display settings do, and drives the settings dialog.
//   saverprobe wait-window <class> <timeout ms>
//       prints "x y width height visible topmost" of the first top-level window of that class.
//   saverprobe wait-foreground <class> <timeout ms>
//       waits until a window of that class is the foreground window (it then gets the keyboard).
//   saverprobe preview-host <saver> <width> <height> <switch form: space|colon>
//       makes a parent window, starts the saver in it, checks the child, destroys the parent.
//   saverprobe settings <saver> <arguments> [ok|cancel]
//       starts the saver, prints the settings dialog's title, closes the dialog, checks the exit.
//   saverprobe colour-window <x> <y> <width> <height> <rrggbb>
//       shows a plain window of that colour (a piece of the live desktop) until it is killed.
//   saverprobe move-window <x> <y>
//       moves that window, leaving its place in the z-order and the activation alone.
// Checks print "PASS: ..." / "FAIL: ..." lines; the exit status is 0 when nothing failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
  std::fflush(stdout);
  if (!ok) ++failures;
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring Wide(const char* text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring out(size > 0 ? size - 1 : 0, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), size);
  return out;
}

struct Search {
  std::wstring className;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  wchar_t name[256];
  GetClassNameW(window, name, 256);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search->className == name && (search->processId == 0 || owner == search->processId) && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForWindow(const std::wstring& className, DWORD processId, HWND parent, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    Search search{className, processId, nullptr};
    if (parent != nullptr) {
      EnumChildWindows(parent, &MatchWindow, reinterpret_cast<LPARAM>(&search));
    } else {
      EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found != nullptr) return search.found;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

PROCESS_INFORMATION Launch(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::printf("FAIL: cannot start the program (error %lu)\n", GetLastError());
    std::exit(1);
  }
  return process;
}

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
  const DWORD start = GetTickCount();
  HWND window = WaitForWindow(className, 0, nullptr, timeoutMs);
  while (window != nullptr && GetForegroundWindow() != window) {
    if (GetTickCount() - start > timeoutMs) return 1;
    Sleep(20);
  }
  return window != nullptr ? 0 : 1;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

int PreviewHostCommand(const wchar_t* saver, int width, int height, bool colonForm) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &ParentProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"KagemiraPreviewPane";
  RegisterClassW(&windowClass);
  RECT outer{0, 0, width, height};
  AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
  HWND parent = CreateWindowExW(0, windowClass.lpszClassName, L"pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
  const std::wstring handle = std::to_wstring(reinterpret_cast<UINT_PTR>(parent));
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
  const bool ended = WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0;
  std::printf("ended %lu ms after the pane\n", GetTickCount() - start);
  Check(ended, "the saver ends when the pane goes");
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return failures == 0 ? 0 : 1;
}

int SettingsCommand(const wchar_t* saver, const wchar_t* arguments, bool ok) {
  PROCESS_INFORMATION process = Launch(saver, arguments);
  HWND dialog = WaitForWindow(L"#32770", process.dwProcessId, nullptr, 30000);
  Check(dialog != nullptr, "the settings dialog opens");
  if (dialog != nullptr) {
    wchar_t title[256] = {};
    GetWindowTextW(dialog, title, 256);
    std::printf("title: %s\n", Utf8(title).c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ok ? IDOK : IDCANCEL, BN_CLICKED), 0);
  }
  const bool ended = WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0;
  Check(ended, "the dialog closes and the program ends");
  DWORD status = 99;
  if (ended) GetExitCodeProcess(process.hProcess, &status);
  std::printf("exit status %lu\n", status);
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return failures == 0 ? 0 : 1;
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
  if (argc >= 4 && std::string(argv[1]) == "move-window") return MoveWindowCommand(std::atoi(argv[2]), std::atoi(argv[3]));
  if (argc >= 4 && std::string(argv[1]) == "wait-window") {
    return WaitWindowCommand(Wide(argv[2]).c_str(), static_cast<DWORD>(std::atoi(argv[3])));
  }
  if (argc >= 4 && std::string(argv[1]) == "wait-foreground") {
    return WaitForegroundCommand(Wide(argv[2]).c_str(), static_cast<DWORD>(std::atoi(argv[3])));
  }
  if (argc >= 6 && std::string(argv[1]) == "preview-host") {
    return PreviewHostCommand(Wide(argv[2]).c_str(), std::atoi(argv[3]), std::atoi(argv[4]),
                              std::string(argv[5]) == "colon");
  }
  if (argc >= 4 && std::string(argv[1]) == "settings") {
    const bool ok = argc >= 5 && std::string(argv[4]) == "ok";
    return SettingsCommand(Wide(argv[2]).c_str(), Wide(argv[3]).c_str(), ok);
  }
  std::fprintf(stderr, "usage: saverprobe wait-window|preview-host|settings|colour-window|move-window ...\n");
  return 2;
}
