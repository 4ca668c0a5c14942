// One preview: the window comes up, optionally after a confirmation, and plays until it is
// destroyed (Escape, its close command, the confirmation's Cancel, or the engine's end).
#include <windows.h>
#include <imm.h>

#include <string>

#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "hosts/testbench/TestHost.h"

namespace testhost {
namespace {
const wchar_t kConfirmStart[] = L"プレビューを開始します。";
const wchar_t kWindowCreationFailed[] = L"ウィンドウの作成に失敗しました。";

void PlayInWindow(HWND window) {
  ImmAssociateContext(window, nullptr);
  ShowWindow(window, SW_SHOWDEFAULT);
  UpdateWindow(window);

  if (confirmBeforeStart && MessageBoxW(window, kConfirmStart, caption, MB_OKCANCEL) == IDCANCEL) {
    DestroyWindow(window);
    previewWindow = nullptr;
  }
  if (previewWindow.load() != nullptr && IsWindow(window)) PostMessageW(window, StartMessage, 0, 0);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void ReportFailedStart() {
  // Normally gone with the failed window's WM_DESTROY; never left behind hooked to a dead window.
  engine.Release();
  // Also removes the quit message the failed window's destruction posted.
  PumpPendingMessages();
  std::wstring text = kWindowCreationFailed;
  if (!hostErrorText.empty()) text += L"\n" + hostErrorText;
  MessageBoxW(nullptr, text.c_str(), caption, MB_ICONERROR | MB_SETFOREGROUND);
}
}  // namespace

void RunPreview() {
  ShowCursor(FALSE);
  const HWND window = CreatePreviewWindow();
  previewWindow = window;
  if (window != nullptr) {
    PlayInWindow(window);
    ShowCursor(TRUE);
  } else {
    ShowCursor(TRUE);
    ReportFailedStart();
  }
  previewWindow = nullptr;
  hostErrorText.clear();
}

}  // namespace testhost
