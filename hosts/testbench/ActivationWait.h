#pragma once
// The repeating thread-pool wait on the activation event: another start of the program sets the
// event, and BringToFront shows this instance's current window.
#include <windows.h>

namespace testhost {

class ActivationWait {
 public:
  // Without an event or a wait the program still works; it only cannot be brought to the front.
  explicit ActivationWait(HANDLE event);
  // Unregistering waits for a callback that is running, so none outlives the program's state.
  ~ActivationWait();
  ActivationWait(const ActivationWait&) = delete;
  ActivationWait& operator=(const ActivationWait&) = delete;

  bool registered() const { return wait_ != nullptr; }

 private:
  HANDLE wait_ = nullptr;
};

}  // namespace testhost
