#include "media/GraphUtilities.h"
#include "media/MfSourceFilter.h"

using Microsoft::WRL::ComPtr;

bool BuildGraphByMediaFoundation(const std::wstring& path, IGraphBuilder* graph, const FilterList& renderers,
                                 bool withVideo) {
  if (RemoveAllFilters(graph) != S_OK) return false;
  const ComPtr<MfSourceFilter> source = MfSourceFilter::Open(path, withVideo);
  if (!source) return false;
  for (const auto& renderer : renderers) {
    if (FAILED(graph->AddFilter(renderer.Get(), nullptr))) return false;
  }
  if (FAILED(graph->AddFilter(source.Get(), L"Media Foundation Source"))) {
    RemoveAllFilters(graph);
    return false;
  }
  bool rendered = false;
  for (const auto& pin : source->pins()) {
    if (SUCCEEDED(graph->Render(pin.Get())) && IsPinConnected(pin.Get())) rendered = true;
  }
  if (!rendered) RemoveAllFilters(graph);
  return rendered;
}
