#include <cstdio>

#include "media/GraphRecords.h"
#include "media/GraphUtilities.h"

using Microsoft::WRL::ComPtr;

namespace {
bool HasPins(IBaseFilter* filter, uint32_t flags) { return !GetPins(filter, flags).empty(); }

template <typename Keep>
FilterList FiltersWhere(IFilterGraph* graph, Keep keep) {
  FilterList kept;
  for (auto& filter : GetFilters(graph)) {
    if (keep(filter.Get())) kept.push_back(filter);
  }
  return kept;
}
}  // namespace

PinList GetPins(IBaseFilter* filter, uint32_t flags) {
  PinList pins;
  if (!filter) return pins;
  ComPtr<IEnumPins> pinEnum;
  if (FAILED(filter->EnumPins(&pinEnum)) || !pinEnum) return pins;
  pinEnum->Reset();
  ComPtr<IPin> pin;
  while (pinEnum->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK && pin) {
    {
      const PinInfoRecord info(pin.Get());
      // Pins named with a leading '~' are not meant to be rendered: they never count.
      if (SUCCEEDED(info.result) && info.info.achName[0] == L'~') continue;
    }
    PIN_DIRECTION direction;
    if (FAILED(pin->QueryDirection(&direction))) continue;
    const bool wantsConnection = (flags & (PinConnected | PinUnconnected)) != 0;
    const bool connected = wantsConnection && IsPinConnected(pin.Get());
    if (PinSelected(flags, direction == PINDIR_OUTPUT, connected)) pins.push_back(pin);
  }
  return pins;
}

FilterList GetFilters(IFilterGraph* graph) {
  FilterList filters;
  ComPtr<IEnumFilters> filterEnum;
  if (!graph || FAILED(graph->EnumFilters(&filterEnum)) || !filterEnum) return filters;
  filterEnum->Reset();
  ComPtr<IBaseFilter> filter;
  while (filterEnum->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK && filter) filters.push_back(filter);
  return filters;
}

FilterList GetSourceFilters(IFilterGraph* graph) {
  return FiltersWhere(graph, [](IBaseFilter* f) { return !HasPins(f, PinInput) && HasPins(f, PinOutput); });
}

FilterList GetSinkFilters(IFilterGraph* graph) {
  return FiltersWhere(graph, [](IBaseFilter* f) { return HasPins(f, PinInput) && !HasPins(f, PinOutput); });
}

bool IsPinConnected(IPin* pin) {
  if (!pin) return false;
  ComPtr<IPin> other;
  return SUCCEEDED(pin->ConnectedTo(&other)) && other;
}

std::wstring GetPinName(IPin* pin) {
  if (!pin) return {};
  const PinInfoRecord info(pin);
  return SUCCEEDED(info.result) ? std::wstring(info.info.achName) : std::wstring();
}

std::wstring GetFilterName(IBaseFilter* filter) {
  if (!filter) return {};
  const FilterInfoRecord info(filter);
  return SUCCEEDED(info.result) ? std::wstring(info.info.achName) : std::wstring();
}

bool AllPinsConnected(IBaseFilter* filter, PinDirection direction) {
  const uint32_t d = direction == PinDirection::Output ? PinOutput : PinInput;
  if (!HasPins(filter, d)) return true;
  if (!HasPins(filter, d | PinConnected)) return false;
  return !HasPins(filter, d | PinUnconnected);
}

bool IsGraphComplete(IFilterGraph* graph) {
  const FilterList sources = GetSourceFilters(graph);
  if (sources.empty()) return false;
  for (const auto& source : sources) {
    if (!AllPinsConnected(source.Get(), PinDirection::Output)) return false;
  }
  std::printf("COMPLETE GRAPH.\n");
  return true;
}
