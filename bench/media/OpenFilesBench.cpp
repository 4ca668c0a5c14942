#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/media/MediaBench.h"
#include "media/DShowFilterGraph.h"
#include "media/GraphUtilities.h"

namespace {
struct ProcessUse {
  size_t handles = 0;
  size_t privateBytes = 0;
};

// The system's handle table, filtered to this process: GetProcessHandleCount answers nothing
// under Wine, the table does on both.
struct HandleEntry {
  PVOID object;
  ULONG_PTR processId;
  ULONG_PTR handle;
  ULONG grantedAccess;
  USHORT creatorBackTraceIndex;
  USHORT objectTypeIndex;
  ULONG attributes;
  ULONG reserved;
};
struct HandleTable {
  ULONG_PTR count;
  ULONG_PTR reserved;
  HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
constexpr ULONG kExtendedHandleInformation = 64;

size_t HandleCount() {
  static const auto query = reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  while (query(kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) < 0) {
    if (buffer.size() > (64u << 20)) return 0;
    buffer.resize(buffer.size() * 2);
  }
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  size_t mine = 0;
  for (ULONG_PTR i = 0; i < table->count; ++i) {
    if (table->entries[i].processId == GetCurrentProcessId()) ++mine;
  }
  return mine;
}

// Committed private memory (heaps, stacks, private mappings), walked region by region.
size_t PrivateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    if (region.RegionSize == 0) break;
  }
  return total;
}

ProcessUse Measure() { return {HandleCount(), PrivateBytes()}; }
}  // namespace

int BenchOpeningFiles(int count) {
  const std::wstring folder = std::wstring(TEST_MEDIA) + L"/";
  const wchar_t* files[] = {L"tone.wav", L"tone.mp3", L"testsrc-h264.mp4", L"not-media.mp4"};
  DShowFilterGraph graph;
  if (!graph.Initialize(nullptr, nullptr, nullptr)) {
    std::printf("the graph could not be made\n");
    return 1;
  }
  int opened = 0, refused = 0;
  auto openOne = [&](int i) {
    if (!graph.Open(folder + files[i % 4])) {
      ++refused;
      return;
    }
    ++opened;
    graph.Run(0);
    graph.Stop(-1);
    graph.Rewind();
  };
  // One round first: the decoders' libraries load on first use and stay.
  for (int i = 0; i < 4; ++i) openOne(i);
  opened = refused = 0;
  const ProcessUse before = Measure();
  const DWORD start = GetTickCount();
  // A leak grows with the opens; the heaps' own ups and downs do not: every quarter is shown.
  std::vector<size_t> quarters;
  for (int i = 0; i < count; ++i) {
    openOne(i);
    if ((i + 1) % (count / 4 > 0 ? count / 4 : 1) == 0) quarters.push_back(Measure().privateBytes);
  }
  const DWORD took = GetTickCount() - start;
  const ProcessUse after = Measure();
  std::printf("%d opens (%d opened, %d refused as expected) in %.1f s, %.1f ms each\n", count, opened, refused,
              took / 1000.0, static_cast<double>(took) / count);
  std::printf("handles: %zu before, %zu after (%+ld)\n", before.handles, after.handles,
              static_cast<long>(after.handles) - static_cast<long>(before.handles));
  std::printf("private bytes: %.1f MiB before, %.1f MiB after (%+.1f KiB); after each quarter:",
              before.privateBytes / 1048576.0, after.privateBytes / 1048576.0,
              (static_cast<double>(after.privateBytes) - static_cast<double>(before.privateBytes)) / 1024.0);
  for (size_t bytes : quarters) std::printf(" %.1f", bytes / 1048576.0);
  std::printf(" MiB\n");

  // The platform's own share: the same files rendered by a bare graph manager, no code of ours.
  Microsoft::WRL::ComPtr<IGraphBuilder> bare;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_ALL, IID_IGraphBuilder,
                              reinterpret_cast<void**>(bare.GetAddressOf())))) {
    return 1;
  }
  const ProcessUse bareBefore = Measure();
  for (int i = 0; i < count; ++i) {
    bare->RenderFile((folder + files[i % 4]).c_str(), nullptr);
    RemoveAllFilters(bare.Get());
  }
  const ProcessUse bareAfter = Measure();
  std::printf("the same %d files rendered by a bare graph manager: handles %+ld, private bytes %+.1f KiB\n", count,
              static_cast<long>(bareAfter.handles) - static_cast<long>(bareBefore.handles),
              (static_cast<double>(bareAfter.privateBytes) - static_cast<double>(bareBefore.privateBytes)) / 1024.0);
  return refused == count / 4 ? 0 : 1;
}
