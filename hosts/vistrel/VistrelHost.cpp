// The host's flow: the entry point's steps, the main dialog, the settings run, and the answer to
// another start of the program.
#include "hosts/vistrel/VistrelHost.h"

#include <clocale>
#include <utility>

#include "base/UniqueHandle.h"
#include "resources/resource.h"
#include "settings/ConfigDialog.h"

namespace vistrel {
namespace {
constexpr int kCaptionLength = 26;  // characters, the terminator included
const wchar_t kInstanceMutexName[] = L"{2E9B36DC-5716-4000-9FE9-18E55DFCF5C3}";
const wchar_t kMutexError[] = L"Mutexの作成に失敗しました。";

// Auto-reset, not signalled; the first instance creates it, later ones open the same event.
HANDLE CreateActivationEvent() {
  return CreateEventW(nullptr, FALSE, FALSE, L"{EF61AE01-BE80-459e-B8CC-9A8F1B92AAD4}");
}

// Exists before the entry point.
const UniqueHandle activationEvent(CreateActivationEvent());

// The repeating thread-pool wait on the activation event. Without an event or a wait the program
// still works; it only cannot be brought to the front.
class ActivationWait {
 public:
  ActivationWait(HANDLE event, VistrelHost& host) {
    // No time-out and not WT_EXECUTEONLYONCE: every later start is answered.
    if (event != nullptr &&
        !RegisterWaitForSingleObject(&wait_, event, &VistrelHost::BringToFront, &host, INFINITE, WT_EXECUTEDEFAULT)) {
      wait_ = nullptr;
    }
  }
  // Unregistering waits for a callback that is running, so none outlives the host.
  ~ActivationWait() {
    if (wait_ != nullptr) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
  }
  ActivationWait(const ActivationWait&) = delete;
  ActivationWait& operator=(const ActivationWait&) = delete;

 private:
  HANDLE wait_ = nullptr;
};

std::wstring LoadCaption(HINSTANCE instance) {
  wchar_t caption[kCaptionLength] = {};
  LoadStringW(instance, IDS_TITLE, caption, kCaptionLength);
  return caption;
}

void SetStatus(HWND dialog, const wchar_t* text) { SetDlgItemTextW(dialog, IDC_HOST_STATUS, text); }

bool Show(HWND window) {
  if (window == nullptr || !IsWindow(window)) return false;
  // A minimised preview would stay an icon in the foreground: the user asked to see it.
  if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
  SetForegroundWindow(window);
  return true;
}
}  // namespace

int RunVistrel() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const std::wstring caption = LoadCaption(instance);
  VistrelHost host(instance, caption);

  SetLastError(ERROR_SUCCESS);
  // Initially owned; open until the process ends.
  const UniqueHandle instanceMutex(CreateMutexW(nullptr, TRUE, kInstanceMutexName));
  if (!instanceMutex) {
    MessageBoxW(nullptr, kMutexError, caption.c_str(), MB_ICONERROR);
    return 0;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // The running instance comes to the front; this start may hand it the right to.
    AllowSetForegroundWindow(ASFW_ANY);
    if (activationEvent) SetEvent(activationEvent.get());
    return 0;
  }

  _wsetlocale(LC_ALL, L"");

  const ActivationWait activation(activationEvent.get(), host);
  host.RunMainDialogLoop();
  return 0;
}

void PumpPendingMessages() {
  MSG message;
  // A quit message is removed too: it would otherwise end the next modal loop at once.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

VistrelHost::VistrelHost(HINSTANCE instance, std::wstring caption)
    : instance_(instance), caption_(std::move(caption)) {}

VistrelHost::~VistrelHost() = default;

void VistrelHost::RunMainDialogLoop() {
  for (;;) {
    const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_TESTBENCH), nullptr, &MainDialogProc,
                                           reinterpret_cast<LPARAM>(this));
    switch (result) {
      case IDCANCEL:  // 終了
        return;
      case IDC_HOST_SMALL_PREVIEW:
        RunPreview(true);
        break;
      case IDC_HOST_FULL_PREVIEW:
        RunPreview(false);
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

INT_PTR CALLBACK VistrelHost::MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* host = reinterpret_cast<VistrelHost*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return host ? host->MainDialogMessage(dialog, message, wParam) : FALSE;
}

INT_PTR VistrelHost::MainDialogMessage(HWND dialog, UINT message, WPARAM wParam) {
  const auto close = [&](const wchar_t* status, INT_PTR result) {
    SetStatus(dialog, status);
    mainDialog_ = nullptr;
    EndDialog(dialog, result);
  };
  switch (message) {
    case WM_INITDIALOG:
      mainDialog_ = dialog;
      SetStatus(dialog, L"Ready");
      CheckDlgButton(dialog, IDC_HOST_CONFIRM_BEFORE_START, confirmBeforeStart_ ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDCANCEL:
          close(L"Quit...", IDCANCEL);
          break;
        case IDC_HOST_SMALL_PREVIEW:
        case IDC_HOST_FULL_PREVIEW:
        case IDC_HOST_OPEN_SETTINGS:
          close(L"Now Loading...", LOWORD(wParam));
          break;
        case IDC_HOST_CONFIRM_BEFORE_START:
          confirmBeforeStart_ = IsDlgButtonChecked(dialog, IDC_HOST_CONFIRM_BEFORE_START) == BST_CHECKED;
          break;
        default:
          break;
      }
      return TRUE;
    default:
      return FALSE;
  }
}

void VistrelHost::RunSettings() {
  // A new dialog object for every opening: it loads the settings afresh.
  settingsObject_ = std::make_unique<ConfigDialog>(instance_);
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_CONFIG), nullptr, &SettingsDialogProc,
                  reinterpret_cast<LPARAM>(this));
  settingsObject_.reset();
}

INT_PTR CALLBACK VistrelHost::SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* host = reinterpret_cast<VistrelHost*>(GetWindowLongPtrW(dialog, DWLP_USER));
  // Before WM_INITDIALOG the settings dialog has nothing to do with a message.
  if (host == nullptr) return FALSE;
  host->settingsDialog_ = dialog;
  return host->settingsObject_->HandleMessage(dialog, message, wParam, lParam);
}

VOID CALLBACK VistrelHost::BringToFront(PVOID context, BOOLEAN) {
  const auto* host = static_cast<const VistrelHost*>(context);
  // A handle of a window that has gone since fails the existence test.
  Show(host->previewWindow_.load()) || Show(host->settingsDialog_.load()) || Show(host->mainDialog_.load());
}

}  // namespace vistrel
