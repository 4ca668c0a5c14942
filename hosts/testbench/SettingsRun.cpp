#include <memory>

#include "hosts/testbench/TestHost.h"
#include "resources/resource.h"
#include "settings/ConfigDialog.h"

namespace testhost {

void RunSettings() {
  // A new dialog object for every opening: it loads the settings afresh.
  settingsObject = std::make_unique<ConfigDialog>(moduleInstance);
  DialogBoxParamW(moduleInstance, MAKEINTRESOURCEW(IDD_CONFIG), nullptr, &SettingsDialogProc, 0);
  settingsObject.reset();
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  settingsDialog = dialog;
  return settingsObject->HandleMessage(dialog, message, wParam, lParam);
}

}  // namespace testhost
