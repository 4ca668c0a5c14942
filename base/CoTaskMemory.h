#pragma once
// Owns a block that a COM method handed out in COM task memory (a display name, a format block)
// and frees it exactly once.
#include <objbase.h>

#include <memory>

struct CoTaskMemoryFree {
  void operator()(void* block) const { CoTaskMemFree(block); }
};
template <typename T>
using CoTaskMemory = std::unique_ptr<T, CoTaskMemoryFree>;
