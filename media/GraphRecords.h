#pragma once
// DirectShow's information records that hand the caller a reference or a memory block along with
// the data, each owned for one scope: what the record carries is freed with it.
#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include "base/CoTaskMemory.h"
#include "base/ComReference.h"

// IPin::QueryPinInfo; the reference to the pin's filter is taken over into filter.
struct PinInfoRecord {
  explicit PinInfoRecord(IPin* pin) : result(pin->QueryPinInfo(&info)) {
    if (SUCCEEDED(result)) filter = AdoptReference(info.pFilter);
  }
  PinInfoRecord(const PinInfoRecord&) = delete;
  PinInfoRecord& operator=(const PinInfoRecord&) = delete;

  PIN_INFO info{};
  HRESULT result;
  Microsoft::WRL::ComPtr<IBaseFilter> filter;
};

// IBaseFilter::QueryFilterInfo; the reference to the filter's graph is taken over into graph.
struct FilterInfoRecord {
  explicit FilterInfoRecord(IBaseFilter* filter) : result(filter->QueryFilterInfo(&info)) {
    if (SUCCEEDED(result)) graph = AdoptReference(info.pGraph);
  }
  FilterInfoRecord(const FilterInfoRecord&) = delete;
  FilterInfoRecord& operator=(const FilterInfoRecord&) = delete;

  FILTER_INFO info{};
  HRESULT result;
  Microsoft::WRL::ComPtr<IFilterGraph> graph;
};

// IPin::ConnectionMediaType; the type's format block and object are taken over into format and
// object.
struct ConnectionMediaType {
  explicit ConnectionMediaType(IPin* pin) : result(pin->ConnectionMediaType(&type)) {
    if (FAILED(result)) return;
    format.reset(type.pbFormat);
    object = AdoptReference(type.pUnk);
  }
  ConnectionMediaType(const ConnectionMediaType&) = delete;
  ConnectionMediaType& operator=(const ConnectionMediaType&) = delete;

  AM_MEDIA_TYPE type{};
  HRESULT result;
  CoTaskMemory<BYTE> format;
  Microsoft::WRL::ComPtr<IUnknown> object;
};
