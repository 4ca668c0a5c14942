#include "hosts/testbench/TestHost.h"

namespace testhost {

void PumpPendingMessages() {
  MSG message;
  // A quit message is removed too: it would otherwise end the next modal loop at once.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace testhost
