#include "hosts/testbench/TestHost.h"

#include "settings/ConfigDialog.h"

namespace testhost {
namespace {
// Auto-reset, not signalled; the first instance creates it, later ones open the same event.
HANDLE CreateActivationEvent() {
  return CreateEventW(nullptr, FALSE, FALSE, L"{EF61AE01-BE80-459e-B8CC-9A8F1B92AAD4}");
}
}  // namespace

const HINSTANCE moduleInstance = GetModuleHandleW(nullptr);
wchar_t caption[kCaptionLength] = {};
const UniqueHandle ActivationEvent(CreateActivationEvent());
bool smallPreview = false;
bool confirmBeforeStart = false;
std::atomic<HWND> mainDialog{nullptr};
std::atomic<HWND> settingsDialog{nullptr};
std::atomic<HWND> previewWindow{nullptr};
EngineOwner engine;
std::unique_ptr<ConfigDialog> settingsObject;
std::wstring hostErrorText;

}  // namespace testhost
