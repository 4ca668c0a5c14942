#pragma once
// Owns one loaded module (LoadLibrary, LoadLibraryEx) and frees it exactly once.
#include <windows.h>

#include <memory>
#include <type_traits>

struct LibraryFree {
  void operator()(HMODULE library) const { FreeLibrary(library); }
};
using LoadedLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFree>;
