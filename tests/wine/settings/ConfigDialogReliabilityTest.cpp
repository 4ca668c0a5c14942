// Opening and closing the settings dialog many times in one process, as the test host does,
// leaves nothing behind: kernel handles, GDI objects and memory are counted before and after.
#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "base/UmbraneAppBase.h"

#include "TestMedia.h"
#include "resources/resource.h"
#include "tests/wine/settings/ProcessCounts.h"
#include "tests/wine/settings/RunningConfigDialog.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {
// One opening as a user makes it: the preview redrawn by a slider and a box, a file typed and
// auditioned, and the dialog closed while it plays (the graph goes with the dialog).
void OpenAndClose() {
  RunningConfigDialog dialog;
  dialog.MoveSlider(IDC_BG_ALPHA, 40);
  dialog.Click(IDC_FRAME_ENABLED);
  dialog.TypeInto(IDC_BGM_PATH, TestMedia(L"tone.wav"));
  dialog.Click(IDC_BGM_PLAY);
  ASSERT_TRUE(dialog.Enabled(IDC_BGM_STOP)) << "the audition plays";
  dialog.Click(IDCANCEL);
  ASSERT_EQ(dialog.WaitForEnd(), 2);
}

// Kernel handles the platform keeps for each graph that rendered a file and was released, measured
// over bare graphs built as the audition's is (the sound renderer first, then the file), without
// the code under test. Wine 8 keeps 37 for a WAV file: 36 keyed events and the file itself.
std::size_t HandlesThePlatformKeepsPerGraph(const std::wstring& file) {
  const UmbraneAppBase com;
  const auto renderOnce = [&] {
    Microsoft::WRL::ComPtr<IGraphBuilder> graph;
    Microsoft::WRL::ComPtr<IBaseFilter> sound;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                              reinterpret_cast<void**>(graph.GetAddressOf())));
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                              reinterpret_cast<void**>(sound.GetAddressOf())));
    ASSERT_HRESULT_SUCCEEDED(graph->AddFilter(sound.Get(), L"sound"));
    ASSERT_HRESULT_SUCCEEDED(graph->RenderFile(file.c_str(), nullptr));
  };
  renderOnce();
  const std::size_t before = ProcessCounts::Now().kernelHandles;
  for (int i = 0; i < 10; ++i) renderOnce();
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
  location.WriteIni({{"bgmEnabled", "1"}});
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

  const std::size_t platformHandles = 50 * HandlesThePlatformKeepsPerGraph(TestMedia(L"tone.wav"));
  std::printf("the platform keeps %zu handles for 50 graphs that played a file\n", platformHandles);

  // One leaked object per opening would show as 50; the platform's own caches move by a few.
  EXPECT_LE(after.kernelHandles, before.kernelHandles + platformHandles + 5);
  EXPECT_LE(after.gdiObjects, before.gdiObjects + 5);
  EXPECT_LE(after.liveNewBytes, before.liveNewBytes + 4096);
  // The preview alone holds about 170 KiB of bitmap: 50 leaked would be over 8 MiB.
  EXPECT_LE(after.committedPrivateBytes, before.committedPrivateBytes + 2 * 1024 * 1024);
}
