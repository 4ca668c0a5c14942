#pragma once
// Waiting for a state that another thread or process brings about.
#include <windows.h>

// A generous ceiling around every wait for a state: a loaded machine is slow, never this slow.
constexpr DWORD kStateCeilingMs = 20000;

// Waits until the condition holds, up to the ceiling; its last value.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD ceilingMs = kStateCeilingMs) {
  const ULONGLONG start = GetTickCount64();
  while (!condition()) {
    if (GetTickCount64() - start > ceilingMs) return condition();
    Sleep(10);
  }
  return true;
}
