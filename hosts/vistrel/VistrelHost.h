#pragma once
// Vistrel, the windowed test host: the engine in a small or a full-screen preview window, the
// settings dialog, and one running instance at a time. Everything runs on the main thread except
// BringToFront, which a thread-pool thread calls when another start of the program asks for it.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "engine/EngineOwner.h"

class ConfigDialog;

namespace vistrel {

// The entry point's flow; returns the program's exit status.
int RunVistrel();

// Removes and dispatches every message waiting in this thread's queue, without waiting.
void PumpPendingMessages();

// The host's state and the steps of its flow. The procedures of its dialogs and its preview
// window find the object through their window, BringToFront through its wait.
class VistrelHost {
 public:
  // instance: the program's module, with its dialogs; caption: of the preview window and of every
  // message box.
  VistrelHost(HINSTANCE instance, std::wstring caption);
  ~VistrelHost();
  VistrelHost(const VistrelHost&) = delete;
  VistrelHost& operator=(const VistrelHost&) = delete;

  // Shows dialog 101 and runs what the user picks, until 終了 (or until the dialog cannot be shown).
  void RunMainDialogLoop();
  // One preview in a window of half the primary screen (small) or over the whole virtual screen,
  // until the window is destroyed; a failed start is reported in a message box.
  void RunPreview(bool small);
  // The settings dialog, with a new ConfigDialog.
  void RunSettings();

  // Sets to the foreground the first existing window of: the preview, the settings dialog, the
  // main dialog. The callback of the activation event's wait (context: the host).
  static VOID CALLBACK BringToFront(PVOID host, BOOLEAN timedOut);

  // What tests of the flow look at.
  const EngineOwner& engine() const { return engine_; }
  HWND previewWindow() const { return previewWindow_.load(); }
  const std::wstring& hostErrorText() const { return hostErrorText_; }

 private:
  static INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR MainDialogMessage(HWND dialog, UINT message, WPARAM wParam);
  LRESULT PreviewWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND CreatePreviewWindow();
  void PlayInWindow(HWND window);
  void ReportFailedStart();

  const HINSTANCE instance_;
  const std::wstring caption_;
  bool smallPreview_ = false;
  bool confirmBeforeStart_ = false;
  // Written by the main thread, read by BringToFront on a pool thread.
  std::atomic<HWND> mainDialog_{nullptr};
  std::atomic<HWND> settingsDialog_{nullptr};
  std::atomic<HWND> previewWindow_{nullptr};
  EngineOwner engine_;
  std::unique_ptr<ConfigDialog> settingsObject_;
  std::wstring hostErrorText_;
};

}  // namespace vistrel
