// The program's side of the screen-saver framework: one engine per saver window, and the settings
// dialog handed to ConfigDialog.
#include <windows.h>
#include <scrnsave.h>

#include <memory>

#include "engine/EngineOwner.h"
#include "settings/ConfigDialog.h"

namespace {

// Replacing deletes the old object only when it is not the new one.
template <typename T>
void Replace(std::unique_ptr<T>& owner, T* object) {
  if (owner.get() != object) owner.reset(object);
}

// Deleted by the static clean-up at process exit if they still exist.
EngineOwner currentEngine;
std::unique_ptr<ConfigDialog> currentSettingsDialog;

}  // namespace

LRESULT WINAPI ScreenSaverProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      // A failed start leaves a black window that the framework still closes on input.
      currentEngine.Start(window, fChildPreview != FALSE, PlaybackStart::Immediately);
      break;
    }
    case WM_DESTROY:
      currentEngine.Release();
      break;
    default:
      break;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}

WINBOOL WINAPI RegisterDialogClasses(HANDLE instance) {
  Replace(currentSettingsDialog, new ConfigDialog(static_cast<HINSTANCE>(instance)));
  return TRUE;
}

WINBOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return static_cast<WINBOOL>(currentSettingsDialog->HandleMessage(dialog, message, wParam, lParam));
}
