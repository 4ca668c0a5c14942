#include <string>

#include "base/CoTaskMemory.h"
#include "media/ComQuery.h"
#include "media/GraphUtilities.h"

using Microsoft::WRL::ComPtr;

std::wstring MonikerDisplayName(IMoniker* moniker) {
  if (!moniker) return {};
  LPOLESTR handedOut = nullptr;
  if (FAILED(moniker->GetDisplayName(nullptr, nullptr, &handedOut))) return {};
  const CoTaskMemory<wchar_t> name(handedOut);
  return name ? std::wstring(name.get()) : std::wstring();
}

std::wstring MonikerFriendlyName(IMoniker* moniker) {
  if (!moniker) return {};
  ComPtr<IPropertyBag> bag;
  if (FAILED(
          moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(bag.GetAddressOf()))) ||
      !bag) {
    return {};
  }
  VARIANT value;
  VariantInit(&value);
  std::wstring result;
  if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal) {
    result = value.bstrVal;
  }
  VariantClear(&value);
  return result;
}

MonikerList EnumCandidateSourceFilters() {
  MonikerList monikers;
  ComPtr<IFilterMapper2> mapper;
  if (FAILED(CoCreateInstance(CLSID_FilterMapper, nullptr, CLSCTX_ALL, IID_IFilterMapper2,
                              reinterpret_cast<void**>(mapper.GetAddressOf())))) {
    return monikers;
  }
  ComPtr<IEnumMoniker> found;
  // Anything of merit "unlikely" or better with an output pin; no type, medium or category asked.
  if (FAILED(mapper->EnumMatchingFilters(&found, 0, FALSE, MERIT_UNLIKELY, FALSE, 0, nullptr, nullptr, nullptr, FALSE,
                                         TRUE, 0, nullptr, nullptr, nullptr)) ||
      !found) {
    return monikers;
  }
  found->Reset();
  ComPtr<IMoniker> moniker;
  while (found->Next(1, moniker.ReleaseAndGetAddressOf(), nullptr) == S_OK && moniker) monikers.push_back(moniker);
  return monikers;
}

namespace {
// The candidate bound, loaded with the file and added to the graph; null when any step fails.
ComPtr<IBaseFilter> LoadCandidate(IMoniker* moniker, const std::wstring& path, IGraphBuilder* graph) {
  if (SkippedSourceCandidate(MonikerDisplayName(moniker), MonikerFriendlyName(moniker), IsDebuggerPresent() != FALSE)) {
    return nullptr;
  }
  ComPtr<IBaseFilter> filter;
  if (FAILED(
          moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(filter.GetAddressOf()))) ||
      !filter) {
    return nullptr;
  }
  ComPtr<IFileSourceFilter> fileSource;
  if (FAILED(QueryInto(filter.Get(), IID_IFileSourceFilter, fileSource))) return nullptr;
  if (FAILED(fileSource->Load(path.c_str(), nullptr))) return nullptr;
  if (FAILED(graph->AddFilter(filter.Get(), MonikerFriendlyName(moniker).c_str()))) return nullptr;
  return filter;
}

bool AddRenderers(IGraphBuilder* graph, const FilterList& renderers, const std::wstring& name) {
  for (const auto& renderer : renderers) {
    if (FAILED(graph->AddFilter(renderer.Get(), name.c_str()))) return false;
  }
  return true;
}
}  // namespace

bool BuildGraphBySourceFilters(const std::wstring& path, IGraphBuilder* graph, const FilterList& renderers,
                               const GraphStopTest& stopTest) {
  const MonikerList candidates = EnumCandidateSourceFilters();
  for (size_t k = 0; k < candidates.size(); ++k) {
    if (RemoveAllFilters(graph) != S_OK) return false;
    // The graph manager makes repeated names unique.
    if (!AddRenderers(graph, renderers, std::to_wstring(k))) continue;
    const ComPtr<IBaseFilter> source = LoadCandidate(candidates[k].Get(), path, graph);
    if (!source) continue;
    for (const auto& pin : GetPins(source.Get(), PinOutput | PinUnconnected)) {
      if (SUCCEEDED(graph->Render(pin.Get())) && stopTest()) return true;
    }
    if (RemoveAllFilters(graph) != S_OK) return false;
  }
  RemoveAllFilters(graph);
  return false;
}
