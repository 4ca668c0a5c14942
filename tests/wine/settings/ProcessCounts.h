#pragma once
// What this process holds, counted without the platform's own counters (Wine answers 0 for the
// handle count and does not implement the GDI object count): kernel handles and GDI objects by
// probing the handle values, memory by walking the address space and by counting the program's
// own allocations.
#include <cstddef>
#include <cstdint>

struct ProcessCounts {
  std::size_t kernelHandles = 0;
  std::size_t gdiObjects = 0;
  std::size_t committedPrivateBytes = 0;  // every committed private page: heaps, bitmaps, stacks
  int64_t liveNewBytes = 0;               // bytes from operator new not yet deleted

  static ProcessCounts Now();
};
