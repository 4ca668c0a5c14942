#include "tests/wine/settings/ProcessCounts.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<int64_t> liveBytes{0};

// Each block carries its size in front, so that delete knows what it gives back.
constexpr std::size_t kHeader = 16;

std::size_t KernelHandles() {
  std::size_t count = 0;
  DWORD flags = 0;
  for (UINT_PTR value = 4; value < 0x40000; value += 4) {
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

// A GDI handle's low word indexes the process's GDI table; with a zero high word it names
// whatever object occupies that entry.
std::size_t GdiObjects() {
  std::size_t count = 0;
  for (UINT_PTR index = 1; index < 0x10000; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
  }
  return count;
}

std::size_t CommittedPrivateBytes() {
  std::size_t total = 0;
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  auto* at = static_cast<const char*>(system.lpMinimumApplicationAddress);
  MEMORY_BASIC_INFORMATION region;
  while (at < system.lpMaximumApplicationAddress && VirtualQuery(at, &region, sizeof region) == sizeof region) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    at = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
  }
  return total;
}
}  // namespace

ProcessCounts ProcessCounts::Now() {
  ProcessCounts counts;
  counts.kernelHandles = KernelHandles();
  counts.gdiObjects = GdiObjects();
  counts.committedPrivateBytes = CommittedPrivateBytes();
  counts.liveNewBytes = liveBytes.load();
  return counts;
}

void* operator new(std::size_t size) {
  auto* block = static_cast<char*>(std::malloc(size + kHeader));
  if (block == nullptr) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  liveBytes.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed);
  return block + kHeader;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  char* block = static_cast<char*>(p) - kHeader;
  liveBytes.fetch_sub(static_cast<int64_t>(*reinterpret_cast<std::size_t*>(block)), std::memory_order_relaxed);
  std::free(block);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
