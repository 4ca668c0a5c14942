#pragma once
// COM for the calling thread, multithreaded, as the graph's own streaming threads have it; left
// again with the scope when it was entered here.
#include <objbase.h>

class ComForThisThread {
 public:
  ComForThisThread() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
  ~ComForThisThread() {
    if (entered_) CoUninitialize();
  }
  ComForThisThread(const ComForThisThread&) = delete;
  ComForThisThread& operator=(const ComForThisThread&) = delete;

 private:
  bool entered_;
};
