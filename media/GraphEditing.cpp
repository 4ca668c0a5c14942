#include <cstdio>

#include "engine/base/ComReference.h"

#include "media/GraphUtilities.h"

using Microsoft::WRL::ComPtr;

namespace {
// The major type of a pin's connection; GUID_NULL when it cannot be read. The media type's
// format block and object are freed here.
GUID ConnectionMajorType(IPin* pin) {
  AM_MEDIA_TYPE type{};
  if (FAILED(pin->ConnectionMediaType(&type))) return GUID_NULL;
  if (type.cbFormat != 0 && type.pbFormat) CoTaskMemFree(type.pbFormat);
  if (type.pUnk) type.pUnk->Release();
  return type.majortype;
}

// The name of the filter on the other side of a pin's connection, or the trace's placeholder.
std::wstring PeerFilterName(IPin* pin) {
  ComPtr<IPin> peer;
  if (FAILED(pin->ConnectedTo(&peer)) || !peer) return L"NOT CONNECTED or ERROR";
  PIN_INFO info{};
  if (FAILED(peer->QueryPinInfo(&info)) || !info.pFilter) return L"NOT CONNECTED or ERROR";
  const ComPtr<IBaseFilter> owner = AdoptReference(info.pFilter);
  return GetFilterName(owner.Get());
}
}  // namespace

HRESULT RemoveAllFilters(IFilterGraph* graph) {
  for (const auto& filter : GetFilters(graph)) {
    const HRESULT hr = graph->RemoveFilter(filter.Get());
    if (hr != S_OK) return hr;
  }
  return S_OK;
}

HRESULT RemoveVideoRenderers(IFilterGraph* graph) {
  for (const auto& sink : GetSinkFilters(graph)) {
    for (const auto& pin : GetPins(sink.Get(), PinInput | PinConnected)) {
      if (ConnectionMajorType(pin.Get()) != MEDIATYPE_Video) continue;
      const HRESULT hr = graph->RemoveFilter(sink.Get());
      if (FAILED(hr)) return hr;
      break;
    }
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
