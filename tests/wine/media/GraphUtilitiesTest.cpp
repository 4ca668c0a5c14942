#include <d3d9.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include "MediaTestSupport.h"
#include "PinFacade.h"
#include "TestMedia.h"
#include "media/GraphRecords.h"
#include "media/GraphUtilities.h"

using Microsoft::WRL::ComPtr;

namespace {

template <typename Interface>
ComPtr<Interface> Create(REFCLSID clsid, REFIID iid) {
  ComPtr<Interface> object;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, iid, reinterpret_cast<void**>(object.GetAddressOf())), S_OK);
  return object;
}

ComPtr<IBaseFilter> FilterNamed(IFilterGraph* graph, const std::wstring& name) {
  for (const auto& filter : GetFilters(graph)) {
    if (GetFilterName(filter.Get()) == name) return filter;
  }
  return nullptr;
}

class GraphUtilities : public MediaTest {
 protected:
  ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
};

TEST_F(GraphUtilities, PinsAreSelectedByDirectionAndConnectionAcrossARenderedGraph) {
  ASSERT_EQ(graph->RenderFile(TestMedia(L"tone.wav").c_str(), nullptr), S_OK);
  const FilterList sources = GetSourceFilters(graph.Get());
  ASSERT_EQ(sources.size(), 1u) << FilterNames(graph.Get());
  const FilterList sinks = GetSinkFilters(graph.Get());
  ASSERT_EQ(sinks.size(), 1u);
  IBaseFilter* source = sources[0].Get();
  IBaseFilter* sink = sinks[0].Get();

  EXPECT_EQ(GetPins(source, PinAll).size(), 1u);
  EXPECT_EQ(GetPins(source, PinOutput | PinConnected).size(), 1u);
  EXPECT_TRUE(GetPins(source, PinOutput | PinUnconnected).empty());
  EXPECT_TRUE(GetPins(source, PinInput).empty());
  EXPECT_EQ(GetPins(sink, PinInput | PinConnected).size(), 1u);
  EXPECT_TRUE(GetPins(sink, PinInput | PinOutput).empty()) << "both direction bits select nothing";
  EXPECT_TRUE(GetPins(nullptr, PinAll).empty());
  EXPECT_TRUE(AllPinsConnected(source, PinDirection::Output));
  EXPECT_TRUE(AllPinsConnected(source, PinDirection::Input)) << "no input pins at all";
  EXPECT_TRUE(IsGraphComplete(graph.Get()));
  EXPECT_FALSE(GetPinName(GetPins(sink, PinInput)[0].Get()).empty());
  EXPECT_EQ(GetFilterName(nullptr), L"");
}

TEST_F(GraphUtilities, PinsNamedWithATildeNeverCount) {
  auto renderer = Create<IBaseFilter>(CLSID_DSoundRender, IID_IBaseFilter);
  ASSERT_EQ(GetPins(renderer.Get(), PinInput).size(), 1u);
  EXPECT_FALSE(AllPinsConnected(renderer.Get(), PinDirection::Input)) << "its one input is not connected";

  const ComPtr<IBaseFilter> tildes = FilterWithPinsOf({renderer.Get()}, true);
  EXPECT_TRUE(GetPins(tildes.Get(), PinAll).empty());
  EXPECT_TRUE(AllPinsConnected(tildes.Get(), PinDirection::Input));
  EXPECT_TRUE(AllPinsConnected(tildes.Get(), PinDirection::Output));
}

TEST_F(GraphUtilities, TwoInputPinsPassOnlyWhenBothAreConnected) {
  auto first = Create<IBaseFilter>(CLSID_DSoundRender, IID_IBaseFilter);
  auto second = Create<IBaseFilter>(CLSID_DSoundRender, IID_IBaseFilter);
  const ComPtr<IBaseFilter> both = FilterWithPinsOf({first.Get(), second.Get()}, false);
  ASSERT_EQ(GetPins(both.Get(), PinInput).size(), 2u);
  EXPECT_FALSE(AllPinsConnected(both.Get(), PinDirection::Input)) << "none connected";

  // The graph builder takes a renderer already in the graph.
  ASSERT_EQ(graph->AddFilter(first.Get(), L"first"), S_OK);
  ASSERT_EQ(graph->RenderFile(TestMedia(L"tone.wav").c_str(), nullptr), S_OK);
  ASSERT_EQ(GetPins(both.Get(), PinInput | PinConnected).size(), 1u) << FilterNames(graph.Get());
  EXPECT_FALSE(AllPinsConnected(both.Get(), PinDirection::Input)) << "one of two connected";

  ASSERT_EQ(graph->AddFilter(second.Get(), L"second"), S_OK);
  ASSERT_EQ(graph->RenderFile(TestMedia(L"tone.mp3").c_str(), nullptr), S_OK);
  ASSERT_EQ(GetPins(both.Get(), PinInput | PinConnected).size(), 2u) << FilterNames(graph.Get());
  EXPECT_TRUE(AllPinsConnected(both.Get(), PinDirection::Input));
}

TEST_F(GraphUtilities, AGraphWithoutASourceFilterIsNeverComplete) {
  EXPECT_FALSE(IsGraphComplete(graph.Get())) << "empty";
  auto renderer = Create<IBaseFilter>(CLSID_DSoundRender, IID_IBaseFilter);
  ASSERT_EQ(graph->AddFilter(renderer.Get(), L"sink only"), S_OK);
  EXPECT_FALSE(IsGraphComplete(graph.Get()));
  EXPECT_TRUE(GetSourceFilters(graph.Get()).empty());
  EXPECT_EQ(GetSinkFilters(graph.Get()).size(), 1u);
}

TEST_F(GraphUtilities, OnlySinksWhoseConnectedInputCarriesVideoAreRemoved) {
  const ComPtr<IBaseFilter> idleVmr = Create<IBaseFilter>(CLSID_VideoMixingRenderer9, IID_IBaseFilter);
  // Rendered first, so that the graph builder picks a video renderer of its own.
  ASSERT_TRUE(SUCCEEDED(graph->RenderFile(TestMedia(L"testsrc-raw.avi").c_str(), nullptr)));
  ASSERT_EQ(graph->AddFilter(idleVmr.Get(), L"idle VMR"), S_OK);
  const size_t before = GetFilters(graph.Get()).size();
  ASSERT_EQ(GetSinkFilters(graph.Get()).size(), 3u) << FilterNames(graph.Get());

  EXPECT_EQ(RemoveVideoRenderers(graph.Get()), S_OK);
  EXPECT_EQ(GetFilters(graph.Get()).size(), before - 1) << FilterNames(graph.Get());
  EXPECT_TRUE(FilterNamed(graph.Get(), L"idle VMR")) << "an unconnected video renderer stays";
  const FilterList sinks = GetSinkFilters(graph.Get());
  ASSERT_EQ(sinks.size(), 2u);
  for (const auto& sink : sinks) {
    for (const auto& pin : GetPins(sink.Get(), PinInput | PinConnected)) {
      const ConnectionMediaType connection(pin.Get());
      ASSERT_EQ(connection.result, S_OK);
      EXPECT_NE(connection.type.majortype, MEDIATYPE_Video);
    }
  }
}

TEST_F(GraphUtilities, RemovingEveryFilterEmptiesTheGraph) {
  ASSERT_TRUE(SUCCEEDED(graph->RenderFile(TestMedia(L"testsrc-raw.avi").c_str(), nullptr)));
  ASSERT_FALSE(GetFilters(graph.Get()).empty());
  EXPECT_EQ(RemoveAllFilters(graph.Get()), S_OK);
  EXPECT_TRUE(GetFilters(graph.Get()).empty());
  EXPECT_EQ(RemoveAllFilters(graph.Get()), S_OK) << "nothing left to remove";
  DumpGraph(graph.Get());  // an empty graph writes nothing and must not fail
}

TEST_F(GraphUtilities, TheVolumeFormulaReachesTheAudioRenderer) {
  ASSERT_EQ(graph->RenderFile(TestMedia(L"tone.wav").c_str(), nullptr), S_OK);
  struct Case {
    uint8_t volume;
    long expected;
  };
  for (const Case& c : {Case{57, -4301}, Case{0, -10000}, Case{69, -3101}, Case{100, 0}}) {
    EXPECT_TRUE(ApplyVolume(graph.Get(), c.volume));
    EXPECT_EQ(VolumeOf(graph.Get()), c.expected) << int{c.volume};
  }
}

TEST_F(GraphUtilities, TheRegisteredSourceFiltersAreCandidatesWithNames) {
  const MonikerList candidates = EnumCandidateSourceFilters();
  ASSERT_FALSE(candidates.empty());
  bool fileSource = false;
  for (const auto& moniker : candidates) {
    EXPECT_FALSE(MonikerDisplayName(moniker.Get()).empty());
    fileSource |= MonikerFriendlyName(moniker.Get()) == L"File Source (Async.)";
  }
  EXPECT_TRUE(fileSource) << "the asynchronous file source is among the candidates";
  EXPECT_EQ(MonikerDisplayName(nullptr), L"");
}

TEST_F(GraphUtilities, SourceFiltersBuildAGraphTheStopTestAccepts) {
  auto renderer = Create<IBaseFilter>(CLSID_DSoundRender, IID_IBaseFilter);
  int stopTests = 0;
  const bool built = BuildGraphBySourceFilters(TestMedia(L"tone.wav"), graph.Get(), {renderer}, [&] {
    ++stopTests;
    return AllPinsConnected(renderer.Get(), PinDirection::Input);
  });
  ASSERT_TRUE(built);
  EXPECT_GE(stopTests, 1);
  EXPECT_TRUE(IsGraphComplete(graph.Get()));
  EXPECT_EQ(GetPins(renderer.Get(), PinInput | PinConnected).size(), 1u) << FilterNames(graph.Get());
}

TEST_F(GraphUtilities, CandidatesThatRejectTheFileOrRenderNothingLeaveAnEmptyGraph) {
  auto renderer = Create<IBaseFilter>(CLSID_DSoundRender, IID_IBaseFilter);
  int stopTests = 0;
  const auto counting = [&] {
    ++stopTests;
    return true;
  };
  // Every source filter's Load refuses a file that does not exist: no pin is ever rendered.
  EXPECT_FALSE(BuildGraphBySourceFilters(TestMedia(L"no such file.wav"), graph.Get(), {renderer}, counting));
  EXPECT_EQ(stopTests, 0);
  EXPECT_TRUE(GetFilters(graph.Get()).empty()) << FilterNames(graph.Get());
  // A file the sources load but nothing can render.
  EXPECT_FALSE(BuildGraphBySourceFilters(TestMedia(L"not-media.mp4"), graph.Get(), {renderer}, counting));
  EXPECT_TRUE(GetFilters(graph.Get()).empty()) << FilterNames(graph.Get());
}

}  // namespace
