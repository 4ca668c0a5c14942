#include <windows.h>

#include <clocale>

#include "engine/base/UniqueHandle.h"
#include "hosts/testbench/ActivationWait.h"
#include "hosts/testbench/TestHost.h"
#include "resources/resource.h"

namespace testhost {
namespace {
const wchar_t kInstanceMutexName[] = L"{2E9B36DC-5716-4000-9FE9-18E55DFCF5C3}";
const wchar_t kMutexError[] = L"Mutexの作成に失敗しました。";
}  // namespace

void RunMainDialogLoop() {
  for (;;) {
    const INT_PTR result =
        DialogBoxParamW(moduleInstance, MAKEINTRESOURCEW(IDD_TESTBENCH), nullptr, &MainDialogProc, 0);
    switch (result) {
      case IDCANCEL:  // 終了
        return;
      case IDC_HOST_SMALL_PREVIEW:
        smallPreview = true;
        RunPreview();
        break;
      case IDC_HOST_FULL_PREVIEW:
        smallPreview = false;
        RunPreview();
        break;
      case IDC_HOST_OPEN_SETTINGS:
        RunSettings();
        break;
      case -1:
        // The dialog cannot be made: asking again would fail the same way for ever, invisibly,
        // while this instance keeps every later start from running.
        return;
      default:
        break;
    }
  }
}

int RunTestHost() {
  LoadStringW(moduleInstance, IDS_TITLE, caption, kCaptionLength);

  SetLastError(ERROR_SUCCESS);
  // Initially owned; open until the process ends.
  const UniqueHandle instanceMutex(CreateMutexW(nullptr, TRUE, kInstanceMutexName));
  if (!instanceMutex) {
    MessageBoxW(nullptr, kMutexError, caption, MB_ICONERROR);
    return 0;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // The running instance comes to the front; this start may hand it the right to.
    AllowSetForegroundWindow(ASFW_ANY);
    if (ActivationEvent) SetEvent(ActivationEvent.get());
    return 0;
  }

  _wsetlocale(LC_ALL, L"");

  const ActivationWait activation(ActivationEvent.get());
  RunMainDialogLoop();
  return 0;
}

}  // namespace testhost
