#include <cstdio>

#include "media/GraphRecords.h"
#include "media/GraphUtilities.h"

using Microsoft::WRL::ComPtr;

namespace {
// The major type of a pin's connection; GUID_NULL when it cannot be read.
GUID ConnectionMajorType(IPin* pin) {
  const ConnectionMediaType connection(pin);
  return SUCCEEDED(connection.result) ? connection.type.majortype : GUID_NULL;
}

// The name of the filter on the other side of a pin's connection, or the trace's placeholder.
std::wstring PeerFilterName(IPin* pin) {
  ComPtr<IPin> peer;
  if (FAILED(pin->ConnectedTo(&peer)) || !peer) return L"NOT CONNECTED or ERROR";
  const PinInfoRecord info(peer.Get());
  if (FAILED(info.result) || !info.filter) return L"NOT CONNECTED or ERROR";
  return GetFilterName(info.filter.Get());
}
}  // namespace

HRESULT RemoveAllFilters(IFilterGraph* graph) {
  for (const auto& filter : GetFilters(graph)) {
    const HRESULT hr = graph->RemoveFilter(filter.Get());
    if (hr != S_OK) return hr;
  }
  return S_OK;
}

FilterList GetVideoRenderers(IFilterGraph* graph) {
  FilterList renderers;
  for (const auto& sink : GetSinkFilters(graph)) {
    for (const auto& pin : GetPins(sink.Get(), PinInput | PinConnected)) {
      if (ConnectionMajorType(pin.Get()) != MEDIATYPE_Video) continue;
      renderers.push_back(sink);
      break;
    }
  }
  return renderers;
}

HRESULT RemoveVideoRenderers(IFilterGraph* graph) {
  for (const auto& renderer : GetVideoRenderers(graph)) {
    const HRESULT hr = graph->RemoveFilter(renderer.Get());
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

bool ApplyVolume(IFilterGraph* graph, uint8_t volume) {
  ComPtr<IBasicAudio> audio;
  if (!graph || graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(audio.GetAddressOf())) != S_OK) {
    return false;
  }
  return audio->put_Volume(VolumeAttenuation(volume)) == S_OK;
}

void DumpGraph(IFilterGraph* graph) {
  const FilterList filters = GetFilters(graph);
  if (filters.empty()) return;
  for (const auto& filter : filters) {
    const std::wstring filterName = GetFilterName(filter.Get());
    for (const auto& pin : GetPins(filter.Get(), PinAll)) {
      PIN_DIRECTION direction = PINDIR_INPUT;
      pin->QueryDirection(&direction);
      const std::wstring record = filterName + (direction == PINDIR_OUTPUT ? L": OUT " : L": IN  ") +
                                  GetPinName(pin.Get()) + L" -> " + PeerFilterName(pin.Get()) + L"\n";
      OutputDebugStringW(record.c_str());
    }
  }
  std::printf("-----------------------------------------\n");
  std::fflush(stdout);
}
