#pragma once
// What the Windows-side probes of the end-to-end scripts share: result lines, text conversion,
// waiting for windows (a state, with a ceiling for a hung program only) and starting programs.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace probe {

// Prints "PASS: what" or "FAIL: what"; failures() counts the failed ones.
void Check(bool ok, const char* what);
int failures();

std::string Utf8(const std::wstring& text);
std::wstring Wide(const char* text);

// Each of red, green and blue (0x00RRGGBB or COLORREF alike) within the tolerance.
bool ChannelsWithin(uint32_t a, uint32_t b, int tolerance);

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);

// The first visible window that matches: a top-level one, or with a parent one of its children.
// Polls until one shows up; null when the ceiling passed first.
using WindowMatch = std::function<bool(HWND)>;
HWND FindVisibleWindow(const WindowMatch& matches, HWND parent = nullptr);
HWND WaitForWindow(const WindowMatch& matches, DWORD timeoutMs, HWND parent = nullptr);
HWND WaitForWindow(const std::wstring& className, DWORD processId, HWND parent, DWORD timeoutMs);

// Polls until the condition holds; false when the ceiling passed first. The probe's own messages
// are dispatched meanwhile.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Starts a program; a failure to start ends the probe with a FAIL line.
PROCESS_INFORMATION Launch(const std::wstring& program, const std::wstring& arguments);
// Waits for the process to end and closes its handles: its exit status, or -1 when it was still
// running at the ceiling (it is then ended).
long WaitForExit(PROCESS_INFORMATION& process, DWORD timeoutMs);

}  // namespace probe
