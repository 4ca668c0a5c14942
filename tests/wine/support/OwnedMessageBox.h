#pragma once
// Finding and answering the message boxes a window's thread shows while it sits in their modal
// loop: the tests do it from a second thread, as a user would from the keyboard.
#include <windows.h>

#include <atomic>
#include <string>

// The first message box (dialog class) owned by the window, or null.
HWND OwnedMessageBox(HWND owner);

// What a message box said, and whether it was there at all.
struct MessageBoxSeen {
  bool shown = false;
  std::wstring caption;
  std::wstring text;
  bool errorIcon = false;
};

// Waits (up to the ceiling) for a message box owned by the window, reads it and presses its OK
// button; gives up early once `giveUp` is set (the owner's step that might show one is over).
// Call it on another thread than the owner's.
MessageBoxSeen AnswerOwnedMessageBox(HWND owner, DWORD ceilingMs, const std::atomic<bool>* giveUp = nullptr);
