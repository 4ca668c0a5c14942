#include "engine/WindowHook.h"

#include <map>
#include <optional>

#include "base/ThreadToolkit.h"

namespace {

struct HookEntry {
  WNDPROC previous;
  MessageHandler handler;
};

// One table for the process; its lock is held only while the table is read or changed, never
// while a handler or a previous procedure runs, so handlers may re-enter freely.
class WindowHookTable {
 public:
  bool Insert(HWND window, HookEntry entry) {
    LockGuard guard(lock_);
    return entries_.emplace(window, std::move(entry)).second;
  }
  bool Remove(HWND window) {
    LockGuard guard(lock_);
    return entries_.erase(window) != 0;
  }
  std::optional<HookEntry> Find(HWND window) {
    LockGuard guard(lock_);
    auto it = entries_.find(window);
    if (it == entries_.end()) return std::nullopt;
    return it->second;
  }

 private:
  LightWeightMutex lock_;
  std::map<HWND, HookEntry> entries_;
};

WindowHookTable hookTable;

}  // namespace

bool HookWindow(HWND window, MessageHandler handler) {
  if (window == nullptr || !IsWindow(window)) return false;
  const LONG_PTR previous = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookedWindowProc));
  // A window hooked a second time keeps the procedure recorded the first time.
  return hookTable.Insert(window, HookEntry{reinterpret_cast<WNDPROC>(previous), std::move(handler)});
}

bool UnhookWindow(HWND window) { return hookTable.Remove(window); }

LRESULT CALLBACK HookedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::optional<HookEntry> entry = hookTable.Find(window);
  if (!entry) return DefWindowProcW(window, message, wParam, lParam);
  return entry->handler(message, wParam, lParam, DefaultProc(entry->previous, window, message, wParam, lParam));
}
