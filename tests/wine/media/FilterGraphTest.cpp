#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "AudioCapture.h"
#include "MediaTestSupport.h"
#include "TestMedia.h"
#include "media/DShowFilterGraph.h"
#include "media/DShowVmr.h"
#include "media/DShowVmr7Grabber.h"
#include "media/GraphUtilities.h"
#include "media/PosterFrame.h"

using Microsoft::WRL::ComPtr;

namespace {

struct Medium {
  const wchar_t* name;
  DWORD lengthMs;
};

class FilterGraph : public MediaTest {
 protected:
  // Runs the graph from where it is and waits for its completion event, at most the medium's
  // length and a second. Returns the time it took, or 0 when the event did not come.
  DWORD PlayToEnd(DShowFilterGraph& graph, DWORD lengthMs) {
    graph.SetCompletionEvent(completionEvent.get());
    const DWORD start = GetTickCount();
    if (!graph.Run(0)) return 0;
    if (!WaitFor(completionEvent.get(), lengthMs + 1000)) return 0;
    return GetTickCount() - start;
  }

  // Audio only: the graph has no device.
  void ExpectPlaysToItsEnd(DShowFilterGraph& graph, const Medium& medium) {
    const DWORD took = PlayToEnd(graph, medium.lengthMs);
    EXPECT_GT(took, 0u) << "no completion within the length and a second";
    // Not at once either: the media played at its own pace.
    EXPECT_GE(took, medium.lengthMs / 2);
  }

  // Hands the graph the frame event, cues it and copies its first video frame into frame (under
  // the graph's lock, as the render thread does). Fails the test when none comes within 5 s.
  void TakeFirstFrame(DShowFilterGraph& graph, PosterFrame& frame) {
    ResetEvent(frameEvent.get());  // the last graph may have set it after its last look
    graph.SetFrameEvent(frameEvent.get());
    ASSERT_TRUE(graph.Cue());
    ASSERT_TRUE(WaitFor(frameEvent.get(), 5000)) << "the first frame of a cued graph";
    LockGuard guard(graph);
    ASSERT_TRUE(graph.CopyFrame(frame));
    ASSERT_TRUE(frame.texture);
  }

  // Only the DirectSound renderer is left to render anything.
  static bool OnlyTheAudioRendererIsASink(IFilterGraph* graph) {
    const FilterList sinks = GetSinkFilters(graph);
    return sinks.size() == 1 && GetFilterName(sinks[0].Get()) == L"Default DirectSound Device";
  }
};

TEST_F(FilterGraph, EveryFormatUsersHaveOpensAndPlaysToItsEndWithoutAVideoRenderer) {
  for (const Medium& medium : {Medium{L"tone.wav", 1500}, Medium{L"tone.mp3", 1500}, Medium{L"testsrc-h264.mp4", 2000},
                               Medium{L"testsrc-mjpeg.avi", 2000}, Medium{L"testsrc-raw.avi", 1000}}) {
    SCOPED_TRACE(medium.name);
    DShowFilterGraph graph;
    ASSERT_TRUE(graph.Initialize(nullptr, nullptr, nullptr));
    ASSERT_TRUE(graph.Open(TestMedia(medium.name)));
    EXPECT_EQ(graph.path(), TestMedia(medium.name));
    EXPECT_FALSE(graph.HasVideo());
    // A video's renderer, added by the graph builder on its own, is gone again.
    EXPECT_TRUE(OnlyTheAudioRendererIsASink(graph.graphBuilder())) << FilterNames(graph.graphBuilder());
    ExpectPlaysToItsEnd(graph, medium);
  }
}

TEST_F(FilterGraph, WithADeviceEveryVideoReachesTheGrabberFrameAfterFrame) {
  struct Video {
    const wchar_t* name;
    UINT width, height;
  };
  for (const Video& video : {Video{L"testsrc-raw.avi", 320, 240}, Video{L"testsrc-mjpeg.avi", 640, 480},
                             Video{L"testsrc-h264.mp4", 640, 480}, Video{L"video-only.avi", 160, 120}}) {
    SCOPED_TRACE(video.name);
    DShowFilterGraph graph;
    ASSERT_TRUE(graph.Initialize(nullptr, Device(), nullptr));
    ASSERT_TRUE(graph.Open(TestMedia(video.name)));
    ASSERT_TRUE(graph.HasVideo());
    PosterFrame frame;
    ASSERT_NO_FATAL_FAILURE(TakeFirstFrame(graph, frame));
    EXPECT_EQ(frame.texture->contentWidth(), video.width);
    EXPECT_EQ(frame.texture->contentHeight(), video.height);
    EXPECT_EQ(frame.texture->LevelDescription().Width, NextPowerOfTwo(video.width));
    EXPECT_EQ(frame.texture->LevelDescription().Height, NextPowerOfTwo(video.height));

    const uint64_t cued = graph.videoDeliveries().framesPresented;
    graph.SetCompletionEvent(completionEvent.get());
    ASSERT_TRUE(graph.Run(-1));
    EXPECT_TRUE(WaitFor(completionEvent.get(), 2000 + 1000));
    EXPECT_GT(graph.videoDeliveries().framesPresented, cued + 5) << "frames kept coming while it ran";
    graph.SetFrameEvent(nullptr);
  }
}

// Makes every creation of one class in this process fail, as where the class is not registered.
class ClassRefused : public IClassFactory {
 public:
  explicit ClassRefused(const CLSID& refused) {
    registered = CoRegisterClassObject(refused, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  }
  ~ClassRefused() {
    if (SUCCEEDED(registered)) CoRevokeClassObject(cookie);
  }
  HRESULT registered = E_FAIL;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    const bool known = iid == IID_IUnknown || iid == IID_IClassFactory;
    *object = known ? static_cast<IClassFactory*>(this) : nullptr;
    return known ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override {
    *object = nullptr;
    return REGDB_E_CLASSNOTREG;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  DWORD cookie = 0;
};

// Where the VMR-7 chain cannot be built, the graph given a DirectDraw object captures the video
// through the VMR-9 all the same, and the renderer the graph builder would add on its own (which
// would open a window of its own over the saver) stays out. Wine's VMR-7 takes no
// allocator-presenter of ours (it answers E_NOTIMPL to SetNumberOfStreams and
// AdviseSurfaceAllocator) and the system has no default one; the VMR-7 may also not be made at all.
TEST_F(FilterGraph, WhereTheVmr7ChainCannotBeBuiltTheVmr9CapturesTheVideo) {
  EXPECT_FALSE(CreateSystemAllocatorPresenter()) << "a system with a default VMR-7 allocator-presenter";
  EXPECT_FALSE(CreateVmr7Renderer(Device(), DirectDraw()));
  for (const bool rendererMissing : {false, true}) {
    SCOPED_TRACE(rendererMissing ? "no VMR-7 renderer" : "a VMR-7 that takes no allocator-presenter");
    std::unique_ptr<ClassRefused> refused;
    if (rendererMissing) {
      refused = std::make_unique<ClassRefused>(CLSID_VideoMixingRenderer);
      ASSERT_EQ(refused->registered, S_OK);
    }
    AudioCapture capture;
    DShowFilterGraph graph;
    ASSERT_TRUE(graph.Initialize(nullptr, Device(), DirectDraw()));
    ASSERT_TRUE(graph.Open(TestMedia(L"testsrc-raw.avi")));
    EXPECT_TRUE(graph.HasVideo());
    EXPECT_EQ(FilterNames(graph.graphBuilder()).find(L"VMR7"), std::wstring::npos);
    PosterFrame frame;
    ASSERT_NO_FATAL_FAILURE(TakeFirstFrame(graph, frame)) << "the VMR-9 grabber captures the video";
    EXPECT_EQ(frame.texture->contentWidth(), 320u);
    ExpectPlaysToItsEnd(graph, {L"testsrc-raw.avi", 1000});
    graph.SetFrameEvent(nullptr);
    EXPECT_EQ(FindWindowW(nullptr, L"ActiveMovie Window"), nullptr);
    ASSERT_TRUE(capture.available()) << "run under the harness with sound capture";
    EXPECT_GT(capture.Levels().peak, 0.3) << "the audio played";
  }
}

// A VMR-7 that is made but takes no video, as where its default allocator-presenter fails without
// DirectDraw (a remote session). Wine's own VMR-7 cannot play that part: in renderless mode without
// an allocator-presenter it crashes on the first connection instead of refusing it. A real renderer
// that refuses every video, the DirectSound renderer, stands in for its filter, behind a grabber
// without a default allocator-presenter.
std::unique_ptr<DShowVmrBase> Vmr7TakingNoVideo(IDirect3DDevice9* device, IDirectDraw7* ddraw) {
  ComPtr<IBaseFilter> filter;
  if (FAILED(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_ALL, IID_IBaseFilter,
                              reinterpret_cast<void**>(filter.GetAddressOf())))) {
    return nullptr;
  }
  ComPtr<IVMRSurfaceAllocator> grabber(new DShowVmr7Grabber(ddraw, device, nullptr));
  return std::make_unique<DShowVmr7>(std::move(filter), L"VMR7", std::move(grabber));
}

TEST_F(FilterGraph, AVideoThatDoesNotConnectToTheVmr7IsBuiltAgainWithTheVmr9) {
  int made = 0;
  DShowFilterGraph graph;
  graph.InterposeVmr7Maker([&made](IDirect3DDevice9* device, IDirectDraw7* ddraw) {
    ++made;
    return Vmr7TakingNoVideo(device, ddraw);
  });
  ASSERT_TRUE(graph.Initialize(nullptr, Device(), DirectDraw()));
  ASSERT_TRUE(graph.Open(TestMedia(L"video-only.avi")));  // no sound for the stand-in to take
  EXPECT_EQ(made, 1);
  EXPECT_TRUE(graph.HasVideo());
  const std::wstring filters = FilterNames(graph.graphBuilder());
  EXPECT_EQ(filters.find(L"VMR7"), std::wstring::npos) << filters;
  EXPECT_NE(filters.find(L"VMR9"), std::wstring::npos) << filters;
  PosterFrame frame;
  ASSERT_NO_FATAL_FAILURE(TakeFirstFrame(graph, frame)) << "the VMR-9 grabber captures the video";
  graph.SetFrameEvent(nullptr);
  EXPECT_EQ(FindWindowW(nullptr, L"ActiveMovie Window"), nullptr);
}

TEST_F(FilterGraph, AnAudioOnlyFileWithADeviceDropsTheVideoChainAndStillCompletes) {
  AudioCapture capture;
  DShowFilterGraph graph;
  ASSERT_TRUE(graph.Initialize(nullptr, Device(), nullptr));
  ASSERT_TRUE(graph.Open(TestMedia(L"tone.wav")));
  EXPECT_FALSE(graph.HasVideo());
  PosterFrame frame;
  EXPECT_FALSE(graph.CopyFrame(frame));
  EXPECT_TRUE(graph.DetachVideo()) << "nothing to detach";
  graph.Lock();  // without a grabber nothing to take
  graph.Unlock();
  // The renderer that stayed unconnected is left in the graph; it must not hold up the end.
  EXPECT_NE(FilterNames(graph.graphBuilder()).find(L"VMR9"), std::wstring::npos);
  ExpectPlaysToItsEnd(graph, {L"tone.wav", 1500});
  ASSERT_TRUE(capture.available()) << "run under the harness with sound capture";
  EXPECT_GT(capture.Levels().peak, 0.3) << "the audio played";
}

TEST_F(FilterGraph, AVideoOpenedWithoutADevicePlaysItsSound) {
  AudioCapture capture;
  DShowFilterGraph graph;
  ASSERT_TRUE(graph.Initialize(nullptr, nullptr, nullptr));
  ASSERT_TRUE(graph.Open(TestMedia(L"testsrc-raw.avi")));
  EXPECT_FALSE(graph.HasVideo());
  EXPECT_TRUE(OnlyTheAudioRendererIsASink(graph.graphBuilder())) << FilterNames(graph.graphBuilder());
  ExpectPlaysToItsEnd(graph, {L"testsrc-raw.avi", 1000});
  ASSERT_TRUE(capture.available()) << "run under the harness with sound capture";
  EXPECT_GT(capture.Levels().peak, 0.3);
}

TEST_F(FilterGraph, BadFilesFailToOpenLeaveNoPathAndTheGraphOpensTheNextFile) {
  DShowFilterGraph graph;
  ASSERT_TRUE(graph.Initialize(nullptr, Device(), nullptr));
  ASSERT_TRUE(graph.Open(TestMedia(L"tone.wav")));
  for (const std::wstring& bad : {TestMedia(L"no such file.mp4"), TestMedia(L"not-media.mp4"), TestMedia(L"empty.mp4"),
                                  TestMedia(L""), std::wstring()}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(graph.Open(bad));
    EXPECT_TRUE(graph.path().empty()) << "so that opening the same name again is not skipped";
  }
  ASSERT_TRUE(graph.Open(TestMedia(L"tone.wav")));
  ExpectPlaysToItsEnd(graph, {L"tone.wav", 1500});
}

TEST_F(FilterGraph, PathsWithJapaneseSpacesOrMoreThan260CharactersOpen) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"kagemira media " + std::to_wstring(GetCurrentProcessId());
  std::wstring longFolder = root;
  while (longFolder.size() < 250) longFolder += L"\\a rather long folder name";
  MediaCopy japanese(L"tone.mp3", root + L"\\影絵 の 音楽\\背景 ミュージック.mp3");
  MediaCopy longPath(L"tone.wav", longFolder + L"\\背景 tone.wav");
  ASSERT_TRUE(japanese.ok());
  ASSERT_TRUE(longPath.ok());
  ASSERT_GT(longPath.path().size(), 260u);
  for (const MediaCopy* copy : {&japanese, &longPath}) {
    SCOPED_TRACE(copy->path());
    DShowFilterGraph graph;
    ASSERT_TRUE(graph.Initialize(nullptr, nullptr, nullptr));
    ASSERT_TRUE(graph.Open(copy->path()));
    EXPECT_EQ(graph.path(), copy->path());
    ExpectPlaysToItsEnd(graph, {copy->path().c_str(), 1500});
  }
}

// The settings dialog's auditions: one audio graph, file after file, each played and stopped.
TEST_F(FilterGraph, AnAudioGraphOpensFileAfterFileTheWayTheAuditionsDo) {
  DShowFilterGraph graph;
  ASSERT_TRUE(graph.SetVolume(100));
  ASSERT_TRUE(graph.Initialize(nullptr, nullptr, nullptr));
  const wchar_t* files[] = {L"tone.wav", L"tone.mp3", L"testsrc-h264.mp4", L"not-media.mp4", L"testsrc-raw.avi"};
  for (int round = 0; round < 3; ++round) {
    for (const wchar_t* name : files) {
      SCOPED_TRACE(name);
      const bool good = std::wstring(name) != L"not-media.mp4";
      ASSERT_EQ(graph.Open(TestMedia(name)), good);
      if (!good) continue;
      EXPECT_EQ(graph.path(), TestMedia(name));
      EXPECT_TRUE(graph.Run(0));
      // The stop button: stop at once and rewind; the next play starts from the beginning.
      EXPECT_TRUE(graph.Stop(0));
      EXPECT_TRUE(graph.Rewind());
    }
  }
  // The last one played to its end after all that.
  ASSERT_TRUE(graph.Open(TestMedia(L"tone.wav")));
  ExpectPlaysToItsEnd(graph, {L"tone.wav", 1500});
}

TEST_F(FilterGraph, TheVolumeIsKeptBeforeInitialiseAndAppliedByEveryOpen) {
  DShowFilterGraph graph;
  EXPECT_TRUE(graph.SetVolume(57)) << "only stored";
  ASSERT_TRUE(graph.Initialize(nullptr, nullptr, nullptr));
  ASSERT_TRUE(graph.Open(TestMedia(L"tone.wav")));
  EXPECT_EQ(VolumeOf(graph.graphBuilder()), -4301);
  EXPECT_TRUE(graph.SetVolume(0));
  EXPECT_EQ(VolumeOf(graph.graphBuilder()), -10000);
  ASSERT_TRUE(graph.Open(TestMedia(L"tone.mp3")));
  EXPECT_EQ(VolumeOf(graph.graphBuilder()), -10000) << "the next file keeps the volume";
  EXPECT_TRUE(graph.SetVolume(100));
  EXPECT_EQ(VolumeOf(graph.graphBuilder()), 0);
}

TEST_F(FilterGraph, TheToneIsHeardAtFullVolumeSilentAtZeroAndQuieterByTheFormulasDecibels) {
  auto peakAt = [&](uint8_t volume) {
    AudioCapture capture;
    DShowFilterGraph graph;
    graph.SetVolume(volume);
    EXPECT_TRUE(graph.Initialize(nullptr, nullptr, nullptr));
    EXPECT_TRUE(graph.Open(TestMedia(L"tone.wav")));
    EXPECT_GT(PlayToEnd(graph, 1500), 0u);
    EXPECT_TRUE(capture.available()) << "run under the harness with sound capture";
    return capture.Levels().peak;
  };
  const double full = peakAt(100);
  const double silent = peakAt(0);
  const double quieter = peakAt(80);  // -2000: 20 dB down
  std::printf("peaks: volume 100 %.4f, 80 %.5f, 0 %.6f\n", full, quieter, silent);
  EXPECT_GT(full, 0.4) << "a tone of amplitude 0.5";
  EXPECT_LT(silent, 0.0001);
  ASSERT_GT(quieter, 0.0);
  EXPECT_NEAR(DecibelsBetween(quieter, full), -20.0, 1.5);
}

TEST_F(FilterGraph, EachEndSignalsTheCompletionEventAgainAfterARewind) {
  DShowFilterGraph graph;
  ASSERT_TRUE(graph.Initialize(nullptr, nullptr, nullptr));
  ASSERT_TRUE(graph.Open(TestMedia(L"tone-short.wav")));
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    EXPECT_GT(PlayToEnd(graph, 400), 0u);
    // The restart rule: stop, rewind, run.
    EXPECT_TRUE(graph.Stop(-1));
    EXPECT_TRUE(graph.Rewind());
  }
}

TEST_F(FilterGraph, DetachingTheVideoFreesTheGrabberAndTheNextRunConnectsItAgain) {
  DShowFilterGraph graph;
  ASSERT_TRUE(graph.Initialize(nullptr, Device(), nullptr));
  ASSERT_TRUE(graph.Open(TestMedia(L"testsrc-mjpeg.avi")));
  graph.SetFrameEvent(frameEvent.get());
  ASSERT_TRUE(graph.Cue());
  ASSERT_TRUE(WaitFor(frameEvent.get(), 5000));
  PosterFrame frame;
  ASSERT_TRUE(graph.CopyFrame(frame));

  ASSERT_TRUE(graph.Stop(-1));
  ASSERT_TRUE(graph.DetachVideo());
  const auto vmr = [&] {
    for (const auto& filter : GetFilters(graph.graphBuilder())) {
      if (GetFilterName(filter.Get()) == L"VMR9") return filter;
    }
    return Microsoft::WRL::ComPtr<IBaseFilter>();
  }();
  ASSERT_TRUE(vmr);
  EXPECT_TRUE(GetPins(vmr.Get(), PinInput | PinConnected).empty()) << "disconnected";
  PosterFrame afterwards;
  EXPECT_FALSE(graph.CopyFrame(afterwards)) << "no frame until the renderer presents one again";
  EXPECT_TRUE(graph.DetachVideo()) << "a second detach finds nothing connected";
  EXPECT_TRUE(graph.HasVideo());
  // Nothing of the graph is left on the device: it can be reset.
  frame.texture.reset();
  EXPECT_EQ(ResetDevice(), D3D_OK);

  ResetEvent(frameEvent.get());
  ASSERT_TRUE(graph.Rewind());
  ASSERT_TRUE(graph.Run(-1));
  EXPECT_EQ(GetPins(vmr.Get(), PinInput | PinConnected).size(), 1u) << "connected again";
  ASSERT_TRUE(WaitFor(frameEvent.get(), 5000));
  EXPECT_TRUE(graph.CopyFrame(afterwards));
  ASSERT_TRUE(afterwards.texture);
  EXPECT_EQ(afterwards.texture->contentWidth(), 640u);
  graph.SetFrameEvent(nullptr);
}

}  // namespace
