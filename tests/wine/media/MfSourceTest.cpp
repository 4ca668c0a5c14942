#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "EndOfStreamGate.h"
#include "MediaTestSupport.h"
#include "TestMedia.h"
#include "WaitUntil.h"
#include "Watchdog.h"
#include "media/ComQuery.h"
#include "media/DShowFilterGraph.h"
#include "media/DShowVmr.h"
#include "media/DShowVmr9Grabber.h"
#include "media/GraphUtilities.h"
#include "media/MfSourceFilter.h"
#include "media/MfStreamReader.h"

using Microsoft::WRL::ComPtr;

namespace {

// What a run may take at most before a test gives up waiting for its completion (a loaded
// machine's margin, never a pace the test relies on).
constexpr DWORD kCompletionLimitMs = 20000;
constexpr LONGLONG kOneSecond = 10000000;

// A graph built by hand around the Media Foundation source: a VMR-9 grabber on the test's device
// and the DirectSound renderer, as the playback graphs have.
class MfSource : public MediaTest {
 protected:
  // Every filter a test made is gone when it ends, with its streaming threads (a graph released
  // while it runs may go on one of them, just after the test let go of it).
  void TearDown() override {
    seeking.Reset();
    events.Reset();
    control.Reset();
    graph.Reset();
    source.Reset();
    EXPECT_TRUE(WaitUntil([] { return MfSourceFilter::Living() == 0; })) << "a source filter outlived its test";
  }

  void Build(const std::wstring& medium) {
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_ALL, IID_IGraphBuilder,
                               reinterpret_cast<void**>(graph.GetAddressOf())),
              S_OK);
    vmr = CreateVmr9Renderer(Device());
    ASSERT_TRUE(vmr);
    ASSERT_EQ(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_ALL, IID_IBaseFilter,
                               reinterpret_cast<void**>(audio.GetAddressOf())),
              S_OK);
    ASSERT_TRUE(BuildGraphByMediaFoundation(TestMedia(medium), graph.Get(), {vmr->filter, audio}, true));
    ASSERT_EQ(QueryInto(graph.Get(), IID_IMediaControl, control), S_OK);
    ASSERT_EQ(QueryInto(graph.Get(), IID_IMediaEvent, events), S_OK);
    ASSERT_EQ(QueryInto(graph.Get(), IID_IMediaSeeking, seeking), S_OK);
  }

  // tone.m4a's source connected through a gate to the real DirectSound renderer, in a graph of its
  // own.
  void BuildThroughGate() {
    ASSERT_EQ(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_ALL, IID_IBaseFilter,
                               reinterpret_cast<void**>(audio.GetAddressOf())),
              S_OK);
    const PinList inputs = GetPins(audio.Get(), PinInput);
    ASSERT_EQ(inputs.size(), 1u);
    gate = std::make_unique<EndOfStreamGate>(inputs.front().Get());
    source = MfSourceFilter::Open(TestMedia(L"tone.m4a"), false);
    ASSERT_TRUE(source);
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_ALL, IID_IGraphBuilder,
                               reinterpret_cast<void**>(graph.GetAddressOf())),
              S_OK);
    ASSERT_EQ(graph->AddFilter(source.Get(), L"source"), S_OK);
    ASSERT_EQ(graph->AddFilter(audio.Get(), L"renderer"), S_OK);
    ASSERT_EQ(source->pins().front()->Connect(gate.get(), nullptr), S_OK);
    ASSERT_EQ(QueryInto(graph.Get(), IID_IMediaControl, control), S_OK);
  }

  // The graph's next EC_COMPLETE (WaitForCompletion would answer at once after the first one;
  // Wine's GetEvent may come back empty before its time-out).
  bool AwaitCompletion() {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kCompletionLimitMs) {
      long code = 0;
      LONG_PTR first = 0, second = 0;
      if (FAILED(events->GetEvent(&code, &first, &second, 100))) continue;
      events->FreeEventParams(code, first, second);
      if (code == EC_COMPLETE) return true;
    }
    return false;
  }
  void ForgetEvents() {
    long code = 0;
    LONG_PTR first = 0, second = 0;
    while (SUCCEEDED(events->GetEvent(&code, &first, &second, 0))) events->FreeEventParams(code, first, second);
  }

  void Seek(LONGLONG position) {
    EXPECT_TRUE(
        SUCCEEDED(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning)));
  }

  // Frames the grabber presented while the graph ran from position to its completion: seeked while
  // stopped, cued, run, as the player restarts its media; or seeked once cued, which flushes what
  // the renderers hold.
  uint64_t FramesPlayedFrom(LONGLONG position, bool seekWhilePaused = false) {
    const uint64_t before = vmr->deliveries().framesPresented;
    ForgetEvents();
    if (!seekWhilePaused) Seek(position);
    EXPECT_TRUE(SUCCEEDED(control->Pause()));
    if (seekWhilePaused) Seek(position);
    EXPECT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_TRUE(AwaitCompletion()) << "no completion";
    EXPECT_TRUE(SUCCEEDED(control->Stop()));
    return vmr->deliveries().framesPresented - before;
  }

  ComPtr<IGraphBuilder> graph;
  std::unique_ptr<DShowVmr9> vmr;
  ComPtr<IBaseFilter> audio;
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEvent> events;
  ComPtr<IMediaSeeking> seeking;
  // Where the test builds the graph by hand (declared first of these two: it outlives the source).
  std::unique_ptr<EndOfStreamGate> gate;
  ComPtr<MfSourceFilter> source;
};

// 2 s at 30 frames per second, sound beside it. The completion needs the end of stream on both
// pins; each play starts a new segment at its position, also when seeked while cued.
TEST_F(MfSource, EveryPlayEndsOnBothPinsAndStartsWhereItWasSeekedTo) {
  Build(L"testsrc-h264.mp4");
  EXPECT_TRUE(AllPinsConnected(vmr->filter.Get(), PinDirection::Input));
  EXPECT_TRUE(AllPinsConnected(audio.Get(), PinDirection::Input));
  LONGLONG duration = 0;
  ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
  EXPECT_NEAR(static_cast<double>(duration), 2.0 * kOneSecond, 0.1 * kOneSecond);

  const uint64_t whole = FramesPlayedFrom(0);
  EXPECT_GE(whole, 50u) << "the whole file";
  const uint64_t secondHalf = FramesPlayedFrom(kOneSecond, true);
  EXPECT_GE(secondHalf, 20u) << "from 1 s";
  EXPECT_LE(secondHalf, 40u) << "from 1 s: the decoded lead-in from the key frame is not shown";
  EXPECT_GE(FramesPlayedFrom(0), whole - 5) << "rewound, the whole file again";
}

// A graph stopped and rewound at once while it streams (the dialog's stop button) is ready to play
// again, and a graph released while it runs ends its streaming threads.
TEST_F(MfSource, StopsAndSeeksWhileStreamingWithoutHanging) {
  Build(L"colour-h264.mp4");
  ResetEvent(frameEvent.get());
  vmr->SetFrameEvent(frameEvent.get());
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  ASSERT_TRUE(WaitFor(frameEvent.get(), kCompletionLimitMs)) << "a first frame";
  LONGLONG start = 3 * kOneSecond;
  EXPECT_TRUE(
      SUCCEEDED(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning)));
  EXPECT_TRUE(AwaitCompletion()) << "the last second after a seek while running";
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  ASSERT_TRUE(WaitFor(frameEvent.get(), kCompletionLimitMs));
  vmr->SetFrameEvent(nullptr);
  // Released running: the graph's release stops the streams, here or, where a renderer held the
  // graph last, on a streaming thread.
}

// At the end of the stream the renderer asks the source for its stop position from the streaming
// thread; a stop (or a seek) that comes at that moment waits for that thread and must not hold
// what the question needs meanwhile.
TEST_F(MfSource, AStopThatMeetsTheEndOfTheStreamEnds) {
  BuildThroughGate();
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  ASSERT_TRUE(WaitFor(gate->reached(), kCompletionLimitMs)) << "the end of the stream";
  Watchdog watchdog(60000, "a stop that meets the end of the stream");
  EXPECT_TRUE(SUCCEEDED(control->Stop()));
}

// A renderer may hold the graph while the end of stream passes through it (Wine's do, to notify
// it); where that is the graph's last reference, the graph stops and lets go of the source on the
// source's own streaming thread, which must end there instead of waiting for itself.
TEST_F(MfSource, AGraphLetGoOfDuringTheEndOfStreamGoesOnTheStreamingThread) {
  BuildThroughGate();
  gate->HoldUntilEndOfStream(graph);
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  ResetEvent(gate->unused());
  control.Reset();
  graph.Reset();
  source.Reset();
  // The source lets go of the gate as it goes, after its thread has torn the graph down.
  Watchdog watchdog(60000, "a graph let go of during the end of stream");
  WaitForSingleObject(gate->unused(), INFINITE);
}

// Each is refused at once: none leaves an open behind that never answered (the truncated MP4, cut
// off before its index, is refused before the system's reader sees it).
TEST_F(MfSource, FilesItCannotReadGiveNoFilterAndAnEmptyGraph) {
  const int abandonedBefore = MfStreamReader::abandonedOpens();
  for (const wchar_t* medium : {L"empty.mp4", L"not-media.m4a", L"not-media.mp4", L"truncated.mp4", L"missing.mp4"}) {
    SCOPED_TRACE(medium);
    EXPECT_FALSE(MfSourceFilter::Open(TestMedia(medium), true));
    DShowFilterGraph player;
    ASSERT_TRUE(player.Initialize(nullptr, nullptr, nullptr));
    EXPECT_FALSE(BuildGraphByMediaFoundation(TestMedia(medium), player.graphBuilder(), {}, true));
    EXPECT_TRUE(GetFilters(player.graphBuilder()).empty()) << FilterNames(player.graphBuilder());
  }
  EXPECT_EQ(MfStreamReader::abandonedOpens(), abandonedBefore);
}

// A file whose index is whole but whose media data stops early (a download that stopped) plays
// what there is and then ends as any file does: the stream failing part-way is its end.
TEST_F(MfSource, AFileWhoseMediaDataStopsEarlyPlaysWhatThereIsAndEnds) {
  Build(L"cut-off-fast-start.mp4");
  const uint64_t frames = FramesPlayedFrom(0);
  EXPECT_GE(frames, 10u) << "what there is";
  EXPECT_LE(frames, 50u) << "the whole file has 60";
  EXPECT_GE(FramesPlayedFrom(0), 10u) << "and again";
}

// Asked for no video, a video file decodes none: its sound alone is offered, as for a video whose
// picture no installed decoder reads (whose codec is unknown).
TEST_F(MfSource, OnlyTheStreamsThereIsADecoderForAndThatAreWantedBecomePins) {
  const auto pinNames = [](const wchar_t* medium, bool withVideo) {
    std::wstring names;
    if (const ComPtr<MfSourceFilter> filter = MfSourceFilter::Open(TestMedia(medium), withVideo)) {
      for (const auto& pin : filter->pins()) names += GetPinName(pin.Get()) + L" ";
    }
    return names;
  };
  EXPECT_EQ(pinNames(L"testsrc-h264.mp4", true), L"Video Audio ");
  EXPECT_EQ(pinNames(L"testsrc-h264.mp4", false), L"Audio ");
  EXPECT_EQ(pinNames(L"tone.m4a", true), L"Audio ");
  EXPECT_EQ(pinNames(L"colour-h264.mov", true), L"Video Audio ");
  EXPECT_EQ(pinNames(L"unknown-video-codec.mp4", true), L"Audio ") << "a video no decoder reads";
}

// The player's own fallback order, in a prefix that reads media as a fresh Windows does (the
// end-to-end script runs these there with KAGEMIRA_FRESH_WINDOWS set): what DirectShow reads stays
// with DirectShow; MP4, M4A and MOV come through Media Foundation, picture and sound. (The
// DirectShow files come last: Wine's end of a process can crash while it still tears down what
// Media Foundation used last, which a Windows process never does.)
class FreshWindows : public MfSource {
 protected:
  static bool FreshWindowsPrefix() { return std::getenv("KAGEMIRA_FRESH_WINDOWS") != nullptr; }
  static bool ThroughMediaFoundation(DShowFilterGraph& player) {
    return FilterNames(player.graphBuilder()).find(L"Media Foundation Source") != std::wstring::npos;
  }
};

TEST_F(FreshWindows, DirectShowKeepsItsFilesAndMediaFoundationTakesTheRest) {
  struct Case {
    const wchar_t* medium;
    bool video;
    bool mediaFoundation;
  };
  for (const Case& c :
       {Case{L"tone.m4a", false, true}, Case{L"colour-h264.mp4", true, true}, Case{L"colour-h264.mov", true, true},
        Case{L"unknown-video-codec.mp4", false, true}, Case{L"tone.wav", false, false}, Case{L"tone.mp3", false, false},
        Case{L"testsrc-raw.avi", true, false}}) {
    SCOPED_TRACE(c.medium);
    DShowFilterGraph player;
    ASSERT_TRUE(player.Initialize(nullptr, Device(), nullptr));
    ASSERT_TRUE(player.Open(TestMedia(c.medium)));
    // (Wine's own AVI splitter, left in that prefix, brings no picture to the VMR-9: only the
    // Media Foundation files' picture is checked.)
    if (c.mediaFoundation) {
      EXPECT_EQ(player.HasVideo(), c.video);
    }
    if (!c.mediaFoundation || FreshWindowsPrefix()) {
      EXPECT_EQ(ThroughMediaFoundation(player), c.mediaFoundation) << FilterNames(player.graphBuilder());
    }
    player.SetCompletionEvent(completionEvent.get());
    ASSERT_TRUE(player.Run(0));
    EXPECT_TRUE(WaitFor(completionEvent.get(), kCompletionLimitMs)) << "plays to its end";
    ASSERT_TRUE(player.Stop(-1));
  }
}

}  // namespace
