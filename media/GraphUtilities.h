#pragma once
// Free functions over DirectShow graphs, filters, pins and filter monikers: building, checking,
// trimming, tracing and setting the volume of a graph. Every list holds counted references and
// releases them with itself; every interface obtained on the way is released before returning.
// None of them ends the process or shows anything: failures become empty lists, empty names,
// false or a returned HRESULT.
#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/MediaRules.h"

using PinList = std::vector<Microsoft::WRL::ComPtr<IPin>>;
using FilterList = std::vector<Microsoft::WRL::ComPtr<IBaseFilter>>;
using MonikerList = std::vector<Microsoft::WRL::ComPtr<IMoniker>>;

// The filter's pins selected by PinSelection flags, in enumeration order; pins whose name begins
// with '~' are never listed. No filter, or a failed enumeration, gives an empty list.
PinList GetPins(IBaseFilter* filter, uint32_t flags);
// In IFilterGraph::EnumFilters order.
FilterList GetFilters(IFilterGraph* graph);
// Filters with no input pin and at least one output pin.
FilterList GetSourceFilters(IFilterGraph* graph);
// Filters with at least one input pin and no output pin.
FilterList GetSinkFilters(IFilterGraph* graph);

bool IsPinConnected(IPin* pin);
std::wstring GetPinName(IPin* pin);
std::wstring GetFilterName(IBaseFilter* filter);
std::wstring MonikerDisplayName(IMoniker* moniker);
std::wstring MonikerFriendlyName(IMoniker* moniker);

// Registered filters of merit MERIT_UNLIKELY or more with at least one output pin: the candidates
// for a source filter.
MonikerList EnumCandidateSourceFilters();

enum class PinDirection { Input, Output };
// True when the filter has no pin of that direction, or all of them are connected.
bool AllPinsConnected(IBaseFilter* filter, PinDirection direction);

// A graph with at least one source filter, every one of them with all outputs connected. Writes
// "COMPLETE GRAPH." to standard output when it is.
bool IsGraphComplete(IFilterGraph* graph);

// Removes every filter; the first failure stops and is returned.
HRESULT RemoveAllFilters(IFilterGraph* graph);
// Sinks with a connected input that carries video.
FilterList GetVideoRenderers(IFilterGraph* graph);
// Removes every sink whose connected input carries video; unconnected renderers stay.
HRESULT RemoveVideoRenderers(IFilterGraph* graph);
// IBasicAudio::put_Volume on the graph with VolumeAttenuation(volume); true when both calls
// answer S_OK.
bool ApplyVolume(IFilterGraph* graph, uint8_t volume);
// One trace record per pin (direction, name, the filter on the other side) to the debugger output,
// then a line of 41 hyphens to standard output; an empty graph writes nothing.
void DumpGraph(IFilterGraph* graph);

// Called after each rendered pin of a candidate: true when the graph is built far enough.
using GraphStopTest = std::function<bool()>;
// Builds the graph for path by trying every candidate source filter in turn, with the renderers
// added anew for each; true as soon as a rendered pin passes the stop test (the graph stays as
// built). False when no candidate succeeds (every filter removed) or a removal fails.
bool BuildGraphBySourceFilters(const std::wstring& path, IGraphBuilder* graph, const FilterList& renderers,
                               const GraphStopTest& stopTest);
