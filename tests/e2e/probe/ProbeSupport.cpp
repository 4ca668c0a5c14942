#include "ProbeSupport.h"

#include <cstdio>
#include <cstdlib>

#include "base/UniqueHandle.h"

namespace probe {
namespace {
int failureCount = 0;

struct Search {
  const WindowMatch* matches;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (IsWindowVisible(window) && (*search->matches)(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

void DispatchOwnMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}
}  // namespace

void Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
  std::fflush(stdout);
  if (!ok) ++failureCount;
}

int failures() { return failureCount; }

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

bool ChannelsWithin(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
      return false;
  }
  return true;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

HWND FindVisibleWindow(const WindowMatch& matches, HWND parent) {
  Search search{&matches, nullptr};
  if (parent != nullptr) {
    EnumChildWindows(parent, &MatchWindow, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

HWND WaitForWindow(const WindowMatch& matches, DWORD timeoutMs, HWND parent) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindVisibleWindow(matches, parent)) != nullptr; }, timeoutMs);
  return found;
}

HWND WaitForWindow(const std::wstring& className, DWORD processId, HWND parent, DWORD timeoutMs) {
  return WaitForWindow(
      [&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return ClassOf(window) == className && (processId == 0 || owner == processId);
      },
      timeoutMs, parent);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    DispatchOwnMessages();
    Sleep(20);
  }
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

long WaitForExit(PROCESS_INFORMATION& process, DWORD timeoutMs) {
  const UniqueHandle thread(process.hThread);
  const UniqueHandle running(process.hProcess);
  process = {};
  long status = -1;
  if (WaitForSingleObject(running.get(), timeoutMs) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(running.get(), &code);
    status = static_cast<long>(code);
  } else {
    TerminateProcess(running.get(), 1);
  }
  return status;
}

}  // namespace probe
