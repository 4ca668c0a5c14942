#include "media/MfSourceFilter.h"

#include <cstring>

#include "base/UniqueHandle.h"
#include "media/IsoMediaIndex.h"
#include "media/ListEnumerator.h"
#include "media/MfRuntime.h"
#include "media/MfSourcePin.h"
#include "media/MfStreamReader.h"

using Microsoft::WRL::ComPtr;

namespace {
// This filter's own class id; it is never registered, only reported.
constexpr CLSID kMfSourceFilterId = {0x6b7e9a52, 0x3c41, 0x4d0e, {0x9f, 0x2a, 0x8e, 0x51, 0xc0, 0xd3, 0xa7, 0xb4}};

IPin* HandOutPin(const ComPtr<IPin>& pin) {
  pin->AddRef();
  return pin.Get();
}
using PinEnumerator = ListEnumerator<IEnumPins, IID_IEnumPins, IPin*, ComPtr<IPin>, HandOutPin>;

// Paths of MAX_PATH characters or more open only in their \\?\ form.
std::wstring OpenablePath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

IsoMediaIndex IsoMediaIndexOf(const std::wstring& path) {
  const UniqueHandle file(CreateFileW(OpenablePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) return IsoMediaIndex::Unknown;
  return FindIsoMediaIndex(static_cast<uint64_t>(size.QuadPart), [&](uint64_t offset, uint8_t* buffer, size_t count) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ReadFile(file.get(), buffer, static_cast<DWORD>(count), &read, &at) ? static_cast<size_t>(read) : 0;
  });
}
}  // namespace

namespace {
std::atomic<int> living{0};
}  // namespace

int MfSourceFilter::Living() { return living; }

MfSourceFilter::MfSourceFilter() { ++living; }

MfSourceFilter::~MfSourceFilter() {
  {
    LockGuard guard(lock_);
    for (auto& pin : pins_) pin->Deactivate();
  }
  pins_.clear();
  --living;
}

ComPtr<MfSourceFilter> MfSourceFilter::Open(const std::wstring& path, bool withVideo) {
  const std::shared_ptr<MfRuntime> runtime = MfRuntime::Load();
  if (!runtime) return nullptr;
  // An MP4 cut off before its index cannot play, and some readers never answer for one.
  if (IsoMediaIndexOf(path) == IsoMediaIndex::Missing) return nullptr;
  ComPtr<MfSourceFilter> filter(new MfSourceFilter);
  if (withVideo) {
    if (auto video = MfStreamReader::Open(runtime, path, MfStreamKind::Video)) {
      filter->pins_.push_back(std::make_unique<MfSourcePin>(*filter.Get(), filter->lock_, std::move(video), L"Video"));
    }
  }
  if (auto audio = MfStreamReader::Open(runtime, path, MfStreamKind::Audio)) {
    filter->pins_.push_back(std::make_unique<MfSourcePin>(*filter.Get(), filter->lock_, std::move(audio), L"Audio"));
  }
  if (filter->pins_.empty()) return nullptr;
  return filter;
}

HRESULT MfSourceFilter::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter || iid == IID_IBaseFilter) {
    *object = static_cast<IBaseFilter*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG MfSourceFilter::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT MfSourceFilter::GetClassID(CLSID* id) {
  if (!id) return E_POINTER;
  *id = kMfSourceFilterId;
  return S_OK;
}

HRESULT MfSourceFilter::Stop() {
  LockGuard guard(lock_);
  for (auto& pin : pins_) pin->Deactivate();
  state_ = State_Stopped;
  return S_OK;
}

HRESULT MfSourceFilter::Pause() {
  LockGuard guard(lock_);
  if (state_ == State_Stopped) {
    for (auto& pin : pins_) {
      const HRESULT activated = pin->Activate();
      if (FAILED(activated)) {
        for (auto& started : pins_) started->Deactivate();
        return activated;
      }
    }
  }
  state_ = State_Paused;
  return S_OK;
}

HRESULT MfSourceFilter::Run(REFERENCE_TIME) {
  LockGuard guard(lock_);
  if (state_ == State_Stopped) {
    const HRESULT paused = Pause();
    if (FAILED(paused)) return paused;
  }
  state_ = State_Running;
  return S_OK;
}

HRESULT MfSourceFilter::GetState(DWORD, FILTER_STATE* state) {
  if (!state) return E_POINTER;
  LockGuard guard(lock_);
  *state = state_;
  return S_OK;
}

HRESULT MfSourceFilter::SetSyncSource(IReferenceClock* clock) {
  LockGuard guard(lock_);
  clock_ = clock;
  return S_OK;
}

HRESULT MfSourceFilter::GetSyncSource(IReferenceClock** clock) {
  if (!clock) return E_POINTER;
  LockGuard guard(lock_);
  *clock = clock_.Get();
  if (*clock) (*clock)->AddRef();
  return S_OK;
}

std::vector<ComPtr<IPin>> MfSourceFilter::pins() {
  std::vector<ComPtr<IPin>> list;
  for (auto& pin : pins_) list.push_back(static_cast<IPin*>(pin.get()));
  return list;
}

HRESULT MfSourceFilter::EnumPins(IEnumPins** pins) {
  if (!pins) return E_POINTER;
  *pins = PinEnumerator::Create(static_cast<IBaseFilter*>(this), this->pins());
  return S_OK;
}

HRESULT MfSourceFilter::FindPin(LPCWSTR id, IPin** pin) {
  if (!id || !pin) return E_POINTER;
  for (auto& candidate : pins()) {
    PIN_INFO info{};
    candidate->QueryPinInfo(&info);
    if (info.pFilter) info.pFilter->Release();
    if (std::wcscmp(info.achName, id) == 0) {
      *pin = candidate.Detach();
      return S_OK;
    }
  }
  *pin = nullptr;
  return VFW_E_NOT_FOUND;
}

HRESULT MfSourceFilter::QueryFilterInfo(FILTER_INFO* info) {
  if (!info) return E_POINTER;
  LockGuard guard(lock_);
  const size_t length = std::min(name_.size(), static_cast<size_t>(MAX_FILTER_NAME - 1));
  std::wmemcpy(info->achName, name_.c_str(), length);
  info->achName[length] = L'\0';
  info->pGraph = graph_;
  if (graph_) graph_->AddRef();
  return S_OK;
}

HRESULT MfSourceFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  LockGuard guard(lock_);
  graph_ = graph;
  name_ = name ? name : L"";
  return S_OK;
}
