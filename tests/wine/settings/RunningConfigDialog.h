#pragma once
// The real settings dialog (resource 2003 with ConfigDialog behind it) running modal on a thread
// of its own, the way the programs run it, and driven from the test's thread by messages to its
// real controls, as a user's clicks, keys and drags arrive.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "WaitUntil.h"
#include "base/UniqueHandle.h"

class ConfigDialog;

class RunningConfigDialog {
 public:
  RunningConfigDialog();   // returns once the dialog has initialised (or fails the test)
  ~RunningConfigDialog();  // cancels a dialog still open and waits for its thread
  RunningConfigDialog(const RunningConfigDialog&) = delete;
  RunningConfigDialog& operator=(const RunningConfigDialog&) = delete;

  HWND dialog() const { return dialog_; }
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  bool Checked(int id) const;
  std::wstring Text(int id) const;
  LONG Style(int id) const { return GetWindowLongW(Item(id), GWL_STYLE); }
  // The control with the keyboard focus on the dialog's thread.
  HWND Focused() const;
  // The entries of a combo box's list, in the list's order.
  std::vector<std::wstring> Entries(int comboId) const;

  // A click whose handling is over when this returns.
  void Click(int id) const;
  // A click that opens a modal box: returns at once.
  void ClickLater(int id) const;
  // The trackbar moved with the keyboard or dropped after a drag: TB_ENDTRACK.
  void MoveSlider(int id, int position) const;
  // The thumb dragged through a position: TB_THUMBTRACK.
  void DragSlider(int id, int position) const;
  // Opens a combo's list, moves through it with the arrow keys and closes it with Enter (true) or
  // Escape (false).
  void ChooseFromList(int id, int stepsDown, bool accept) const;
  // Keyboard focus to a control, as the Tab key moves it.
  void Focus(int id) const;
  void TypeInto(int comboId, const std::wstring& text) const;

  // A message box (or another modal dialog) the settings dialog opened; null past the ceiling.
  HWND WaitForBox(const wchar_t* title) const;
  static std::vector<std::wstring> StaticTexts(HWND box);
  // One of the box's lines is exactly text.
  static bool Says(HWND box, const std::wstring& text);
  // Answers a box with one of its buttons and waits until it has gone.
  static void Answer(HWND box, int button);
  // No second window of the dialog's thread is showing.
  bool NoBoxShowing() const;

  // Runs work on the dialog's thread between two of its messages, with the opening's ConfigDialog
  // (to put a fault between it and the platform); returns once the work is done.
  void OnDialogThread(const std::function<void(ConfigDialog&)>& work) const;

  // Waits for the dialog to end; its result, or -1 past the ceiling.
  INT_PTR WaitForEnd();

  // The preview's client area as shown, 0x00RRGGBB, top row first.
  std::vector<uint32_t> PreviewPixels(int& width, int& height) const;

 private:
  static DWORD WINAPI DialogThread(void* context);

  UniqueHandle initialised_;
  UniqueHandle thread_;
  DWORD threadId_ = 0;
  HWND dialog_ = nullptr;
  INT_PTR result_ = -1;
  bool ended_ = false;
};
