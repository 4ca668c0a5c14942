// Opening and closing the settings dialog many times in one process, as the test host does,
// leaves nothing behind: kernel handles, GDI objects and memory are counted before and after.
#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "engine/UmbraneAppBase.h"

#include "resources/resource.h"
#include "tests/wine/settings/ProcessCounts.h"
#include "tests/wine/settings/RunningConfigDialog.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {
// One opening as a user makes it: the preview redrawn by a slider, an audition tried, closed.
void OpenAndClose() {
  RunningConfigDialog dialog;
  dialog.MoveSlider(IDC_BG_ALPHA, 40);
  dialog.Click(IDC_FRAME_ENABLED);
  dialog.Click(IDCANCEL);
  ASSERT_EQ(dialog.WaitForEnd(), 2);
}

// Kernel handles the platform's filter graph manager keeps after one graph is made and released
// (Wine 8 keeps one), measured over several bare graphs: each opening makes one audition graph.
std::size_t HandlesKeptPerBareGraph() {
  const UmbraneAppBase com;
  const auto makeOne = [] {
    Microsoft::WRL::ComPtr<IGraphBuilder> graph;
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_ALL, IID_IGraphBuilder,
                     reinterpret_cast<void**>(graph.GetAddressOf()));
  };
  makeOne();
  const std::size_t before = ProcessCounts::Now().kernelHandles;
  for (int i = 0; i < 10; ++i) makeOne();
  const std::size_t after = ProcessCounts::Now().kernelHandles;
  return after > before ? (after - before + 5) / 10 : 0;
}

void Print(const char* when, const ProcessCounts& counts) {
  std::printf("%s: %zu kernel handles, %zu GDI objects, %zu KiB committed private, %lld bytes from new\n", when,
              counts.kernelHandles, counts.gdiObjects, counts.committedPrivateBytes / 1024,
              static_cast<long long>(counts.liveNewBytes));
}
}  // namespace

TEST(ConfigDialogReliability, FiftyOpeningsInOneProcessLeaveNoHandlesGdiObjectsOrMemoryBehind) {
  SettingsLocation location;
  location.WriteIni({{"bgmEnabled", "1"}, {"bgmPath", "C:\\missing.wav"}, {"recent0", "C:\\missing.wav"}});
  // The first openings load libraries, fonts and DirectShow once for the process.
  for (int i = 0; i < 3; ++i) OpenAndClose();
  const ProcessCounts before = ProcessCounts::Now();
  for (int i = 0; i < 50; ++i) {
    OpenAndClose();
    if (HasFatalFailure()) return;
  }
  const ProcessCounts after = ProcessCounts::Now();
  Print("before 50 openings", before);
  Print("after 50 openings", after);

  const std::size_t platformHandles = 50 * HandlesKeptPerBareGraph();
  std::printf("the platform's filter graph manager keeps %zu of those handles itself\n", platformHandles);

  // One leaked object per opening would show as 50; the platform's own caches move by a few.
  EXPECT_LE(after.kernelHandles, before.kernelHandles + platformHandles + 5);
  EXPECT_LE(after.gdiObjects, before.gdiObjects + 5);
  EXPECT_LE(after.liveNewBytes, before.liveNewBytes + 4096);
  // The preview alone holds about 170 KiB of bitmap: 50 leaked would be over 8 MiB.
  EXPECT_LE(after.committedPrivateBytes, before.committedPrivateBytes + 2 * 1024 * 1024);
}
