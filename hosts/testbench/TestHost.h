#pragma once
// Vistrel, the windowed test host: the engine in a small or a full-screen preview window, the
// settings dialog, and one running instance at a time. Everything runs on the main thread except
// BringToFront, which a thread-pool thread calls when another start of the program asks for it.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "engine/EngineOwner.h"
#include "engine/base/UniqueHandle.h"

class ConfigDialog;

namespace testhost {

constexpr int kCaptionLength = 26;  // characters, the terminator included

// Process-wide state. The module instance and the activation event exist before the entry point.
extern const HINSTANCE moduleInstance;
extern wchar_t caption[kCaptionLength];
extern const UniqueHandle ActivationEvent;
extern bool smallPreview;
extern bool confirmBeforeStart;
// Written by the main thread, read by BringToFront on a pool thread.
extern std::atomic<HWND> mainDialog;
extern std::atomic<HWND> settingsDialog;
extern std::atomic<HWND> previewWindow;
extern EngineOwner engine;
extern std::unique_ptr<ConfigDialog> settingsObject;
extern std::wstring hostErrorText;

// The entry point's flow; returns the program's exit status.
int RunTestHost();
// Shows dialog 101 and runs what the user picks, until 終了 (or until the dialog cannot be shown).
void RunMainDialogLoop();

void RunPreview();
void RunSettings();
HWND CreatePreviewWindow();

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
VOID CALLBACK BringToFront(PVOID context, BOOLEAN timedOut);

// Removes and dispatches every message waiting in this thread's queue, without waiting.
void PumpPendingMessages();

}  // namespace testhost
