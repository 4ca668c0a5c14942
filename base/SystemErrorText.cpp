#include "base/SystemErrorText.h"

#include <memory>

namespace {
struct LocalMemoryFree {
  void operator()(wchar_t* text) const { LocalFree(text); }
};
}  // namespace

std::wstring SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const std::unique_ptr<wchar_t, LocalMemoryFree> owned(text);
  return owned ? std::wstring(owned.get()) : std::wstring();
}
