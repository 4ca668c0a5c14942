// A Windows-side helper for the end-to-end scripts of the test host: it finds the host's windows
// by what they are, reports what a user sees of them, and acts on them the way a user does.
// Roles: main (dialog "Vistrel"), settings (dialog 2003), box (a message box with the program's
// caption), preview (the preview window).
//   hostprobe window <role> <timeout ms>
//       waits for the window and prints "key=value" lines: title, rect and client ("x y w h" on the
//       screen), style (popup|caption), topmost, foreground, iconic, owner (a role or none); for
//       main also status and confirm (0|1); for box also text (line feeds as \n) and buttons (ids).
//   hostprobe press <role> <control id> <timeout ms>
//       clicks the control (BM_CLICK) and returns once the window has handled the click.
//   hostprobe close|minimize <role> <timeout ms>
//       sends the window's system command and waits until it is gone or minimised.
//   hostprobe gone <role> <timeout ms>
//       waits until no window of the role is left (0: looks once).
//   hostprobe foreground <role> <timeout ms>
//       waits until the window is the foreground window (it then gets the keyboard).
//   hostprobe second-start <program> <role> <timeout ms>
//       takes the foreground with a window of its own, starts the program again, prints its exit
//       status, and checks that the role's window comes back to the foreground, not minimised.
// Checks print "PASS: ..." / "FAIL: ..." lines; the exit status is 0 when nothing failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ProbeSupport.h"

namespace {

using probe::Check;
using probe::ClassOf;
using probe::TextOf;
using probe::Utf8;
using probe::WaitUntil;

const wchar_t kCaption[] = L"【Kiriha】Umbrane　ＰＶ【影絵】";
const wchar_t kSettingsTitle[] = L"【Kiriha】Umbrane　ＰＶ【影絵】スクリーンセーバー";
constexpr int kMessageBoxTextId = 0xFFFF;

enum class Role { Main, Settings, Box, Preview, None };

Role RoleNamed(const std::string& name) {
  if (name == "main") return Role::Main;
  if (name == "settings") return Role::Settings;
  if (name == "box") return Role::Box;
  if (name == "preview") return Role::Preview;
  std::fprintf(stderr, "unknown role %s\n", name.c_str());
  std::exit(2);
}

Role RoleOf(HWND window) {
  if (window == nullptr) return Role::None;
  const std::wstring className = ClassOf(window);
  if (className == L"WindowsScreenSaverClass") return Role::Preview;
  if (className != L"#32770") return Role::None;
  const std::wstring title = TextOf(window);
  if (title == L"Vistrel") return Role::Main;
  if (title == kSettingsTitle) return Role::Settings;
  if (title == kCaption) return Role::Box;
  return Role::None;
}

const char* NameOf(Role role) {
  switch (role) {
    case Role::Main:
      return "main";
    case Role::Settings:
      return "settings";
    case Role::Box:
      return "box";
    case Role::Preview:
      return "preview";
    default:
      return "none";
  }
}

HWND Find(Role role) {
  return probe::FindVisibleWindow([role](HWND window) { return RoleOf(window) == role; });
}

HWND WaitFor(Role role, DWORD timeoutMs) {
  return probe::WaitForWindow([role](HWND window) { return RoleOf(window) == role; }, timeoutMs);
}

std::string Escaped(const std::wstring& text) {
  std::string out;
  for (char c : Utf8(text)) {
    if (c == '\n') {
      out += "\\n";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

BOOL CALLBACK ListButton(HWND child, LPARAM context) {
  if (ClassOf(child) == L"Button") {
    auto* ids = reinterpret_cast<std::string*>(context);
    if (!ids->empty()) *ids += ",";
    *ids += std::to_string(GetDlgCtrlID(child));
  }
  return TRUE;
}

void PrintRect(const char* key, RECT rect) {
  std::printf("%s=%ld %ld %ld %ld\n", key, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

int WindowCommand(Role role, DWORD timeoutMs) {
  HWND window = WaitFor(role, timeoutMs);
  if (window == nullptr) {
    std::printf("no %s window\n", NameOf(role));
    return 1;
  }
  RECT rect{}, client{};
  GetWindowRect(window, &rect);
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  std::printf("title=%s\n", Escaped(TextOf(window)).c_str());
  PrintRect("rect", rect);
  PrintRect("client", client);
  std::printf("style=%s\n", (style & WS_POPUP) != 0              ? "popup"
                            : (style & WS_CAPTION) == WS_CAPTION ? "caption"
                                                                 : "other");
  std::printf("topmost=%d\n", (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 ? 1 : 0);
  std::printf("foreground=%d\n", GetForegroundWindow() == window ? 1 : 0);
  std::printf("iconic=%d\n", IsIconic(window) ? 1 : 0);
  std::printf("owner=%s\n", NameOf(RoleOf(GetWindow(window, GW_OWNER))));
  if (role == Role::Main) {
    wchar_t status[256] = {};
    GetDlgItemTextW(window, 1004, status, 256);
    std::printf("status=%s\n", Utf8(status).c_str());
    std::printf("confirm=%d\n", IsDlgButtonChecked(window, 1005) == BST_CHECKED ? 1 : 0);
  }
  if (role == Role::Box) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(window, kMessageBoxTextId, text, 1024);
    std::printf("text=%s\n", Escaped(text).c_str());
    std::string buttons;
    EnumChildWindows(window, &ListButton, reinterpret_cast<LPARAM>(&buttons));
    std::printf("buttons=%s\n", buttons.c_str());
  }
  return 0;
}

int PressCommand(Role role, int controlId, DWORD timeoutMs) {
  HWND window = WaitFor(role, timeoutMs);
  HWND control = window != nullptr ? GetDlgItem(window, controlId) : nullptr;
  if (control == nullptr) {
    std::printf("no control %d in a %s window\n", controlId, NameOf(role));
    return 1;
  }
  DWORD_PTR result = 0;
  // Returns when the click has been handled (a dialog it ends is gone a moment later).
  return SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0 ? 0 : 1;
}

int SystemCommand(Role role, bool close, DWORD timeoutMs) {
  HWND window = WaitFor(role, timeoutMs);
  if (window == nullptr) return 1;
  PostMessageW(window, WM_SYSCOMMAND, close ? SC_CLOSE : SC_MINIMIZE, 0);
  return WaitUntil([&] { return close ? !IsWindow(window) : IsIconic(window) != FALSE; }, timeoutMs) ? 0 : 1;
}

int GoneCommand(Role role, DWORD timeoutMs) {
  return WaitUntil([&] { return Find(role) == nullptr; }, timeoutMs) ? 0 : 1;
}

int ForegroundCommand(Role role, DWORD timeoutMs) {
  return WaitUntil([&] { return RoleOf(GetForegroundWindow()) == role; }, timeoutMs) ? 0 : 1;
}

LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

int SecondStartCommand(const std::wstring& program, Role role, DWORD timeoutMs) {
  HWND current = WaitFor(role, timeoutMs);
  Check(current != nullptr, "the running instance shows the expected window");

  // Somebody else has the foreground first, so that bringing the window back is visible.
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &OwnWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"KagemiraOtherProgram";
  RegisterClassW(&windowClass);
  HWND other = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"other program", WS_POPUP | WS_VISIBLE, 0, 0,
                               64, 64, nullptr, nullptr, windowClass.hInstance, nullptr);
  SetForegroundWindow(other);
  Check(WaitUntil([&] { return GetForegroundWindow() == other; }, timeoutMs), "another window has the foreground");
  // Out of the way of the screen, but still the foreground window.
  SetWindowPos(other, HWND_BOTTOM, 0, 0, 1, 1, SWP_NOACTIVATE);

  const DWORD start = GetTickCount();
  PROCESS_INFORMATION process = probe::Launch(program, L"");
  const long status = probe::WaitForExit(process, timeoutMs);
  std::printf("the second start ended after %lu ms with status %ld\n", GetTickCount() - start, status);
  Check(status == 0, "a second start ends at once with status 0");

  const bool back = WaitUntil(
      [&] {
        HWND foreground = GetForegroundWindow();
        return foreground != nullptr && RoleOf(foreground) == role && !IsIconic(foreground);
      },
      timeoutMs);
  const std::string what = std::string("the running instance's ") + NameOf(role) + " window comes to the front";
  Check(back, what.c_str());
  if (!back) std::printf("foreground: %s\n", NameOf(RoleOf(GetForegroundWindow())));
  DestroyWindow(other);
  return probe::failures() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc >= 2 ? argv[1] : "";
  const DWORD timeout = static_cast<DWORD>(std::atoi(argv[argc - 1]));
  if (command == "window" && argc == 4) return WindowCommand(RoleNamed(argv[2]), timeout);
  if (command == "press" && argc == 5) return PressCommand(RoleNamed(argv[2]), std::atoi(argv[3]), timeout);
  if ((command == "close" || command == "minimize") && argc == 4) {
    return SystemCommand(RoleNamed(argv[2]), command == "close", timeout);
  }
  if (command == "gone" && argc == 4) return GoneCommand(RoleNamed(argv[2]), timeout);
  if (command == "foreground" && argc == 4) return ForegroundCommand(RoleNamed(argv[2]), timeout);
  if (command == "second-start" && argc == 5) {
    return SecondStartCommand(probe::Wide(argv[2]), RoleNamed(argv[3]), timeout);
  }
  std::fprintf(stderr, "usage: hostprobe window|press|close|minimize|gone|foreground|second-start ...\n");
  return 2;
}
