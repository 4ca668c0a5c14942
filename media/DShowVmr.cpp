#include "media/DShowVmr.h"

#include <utility>

#include "media/ComQuery.h"
#include "media/DShowVmr7Grabber.h"
#include "media/DShowVmr9Grabber.h"

using Microsoft::WRL::ComPtr;

DShowVmrBase::DShowVmrBase(ComPtr<IBaseFilter> vmrFilter, const wchar_t* graphName)
    : filter(std::move(vmrFilter)), name(graphName) {}

DShowVmrBase::~DShowVmrBase() = default;

namespace {
// The two renderers' interfaces, named by the versions of each.
struct Vmr9Interfaces {
  using FilterConfig = IVMRFilterConfig9;
  using Notify = IVMRSurfaceAllocatorNotify9;
  using Allocator = IVMRSurfaceAllocator9;
  using Wrapper = DShowVmr9;
  static constexpr const wchar_t* kGraphName = L"VMR9";
  static const CLSID& Renderer() { return CLSID_VideoMixingRenderer9; }
  static const IID& FilterConfigId() { return IID_IVMRFilterConfig9; }
  static const IID& NotifyId() { return IID_IVMRSurfaceAllocatorNotify9; }
  static constexpr DWORD kRenderless = VMR9Mode_Renderless;
};

struct Vmr7Interfaces {
  using FilterConfig = IVMRFilterConfig;
  using Notify = IVMRSurfaceAllocatorNotify;
  using Allocator = IVMRSurfaceAllocator;
  using Wrapper = DShowVmr7;
  static constexpr const wchar_t* kGraphName = L"VMR7";
  static const CLSID& Renderer() { return CLSID_VideoMixingRenderer; }
  static const IID& FilterConfigId() { return IID_IVMRFilterConfig; }
  static const IID& NotifyId() { return IID_IVMRSurfaceAllocatorNotify; }
  static constexpr DWORD kRenderless = VMRMode_Renderless;
};

// The renderer in renderless mode with one stream, whose allocator-presenter is the grabber that
// makeGrabber creates (after the renderer is configured); null when any step fails. Every
// reference made on the way is released with the temporaries.
template <typename Interfaces, typename MakeGrabber>
std::unique_ptr<typename Interfaces::Wrapper> CreateRenderless(MakeGrabber makeGrabber) {
  ComPtr<IBaseFilter> filter;
  if (FAILED(CoCreateInstance(Interfaces::Renderer(), nullptr, CLSCTX_ALL, IID_IBaseFilter,
                              reinterpret_cast<void**>(filter.GetAddressOf())))) {
    return nullptr;
  }
  ComPtr<typename Interfaces::FilterConfig> config;
  if (FAILED(QueryInto(filter.Get(), Interfaces::FilterConfigId(), config))) return nullptr;
  if (FAILED(config->SetRenderingMode(Interfaces::kRenderless))) return nullptr;
  if (FAILED(config->SetNumberOfStreams(1))) return nullptr;

  // The grabber's count starts at 0: this reference is its first.
  ComPtr<typename Interfaces::Allocator> allocator(static_cast<typename Interfaces::Allocator*>(makeGrabber()));
  ComPtr<typename Interfaces::Notify> notify;
  if (FAILED(QueryInto(filter.Get(), Interfaces::NotifyId(), notify))) return nullptr;
  if (FAILED(notify->AdviseSurfaceAllocator(kVmrUserId, allocator.Get()))) return nullptr;
  if (FAILED(allocator->AdviseNotify(notify.Get()))) return nullptr;
  return std::make_unique<typename Interfaces::Wrapper>(std::move(filter), Interfaces::kGraphName,
                                                        std::move(allocator));
}
}  // namespace

std::unique_ptr<DShowVmr9> CreateVmr9Renderer(IDirect3DDevice9* device) {
  if (!device) return nullptr;
  return CreateRenderless<Vmr9Interfaces>([device] { return new DShowVmr9Grabber(device); });
}

std::unique_ptr<DShowVmr7> CreateVmr7Renderer(IDirect3DDevice9* device, IDirectDraw7* ddraw) {
  if (!device || !ddraw) return nullptr;
  return CreateRenderless<Vmr7Interfaces>([device, ddraw] { return new DShowVmr7Grabber(ddraw, device); });
}
