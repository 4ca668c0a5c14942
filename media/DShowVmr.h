#pragma once
// A video mixing renderer in renderless mode with its frame grabber, and the pins remembered
// while the renderer is detached for a device reset.
#include <windows.h>
#include <d3d9.h>
#include <ddraw.h>
#include <dshow.h>
#include <vmr9.h>
#include <wrl/client.h>

#include <memory>

struct PosterFrame;
class DShowVmr9Grabber;

class DShowVmrBase {
 public:
  DShowVmrBase() = default;
  virtual ~DShowVmrBase();
  DShowVmrBase(const DShowVmrBase&) = delete;
  DShowVmrBase& operator=(const DShowVmrBase&) = delete;

  // The grabber's newest frame (see DShowVmr9Grabber::CopyFrame).
  virtual bool CopyFrame(PosterFrame& frame) = 0;
  // Frees the grabber's device resources before a device reset.
  virtual bool ReleaseSurfaces() = 0;

  Microsoft::WRL::ComPtr<IBaseFilter> filter;
  // Set while the renderer is detached: its input pin and the pin that was connected to it.
  Microsoft::WRL::ComPtr<IPin> vmrPin;
  Microsoft::WRL::ComPtr<IPin> upstreamPin;
};

class DShowVmr9 : public DShowVmrBase {
 public:
  DShowVmr9(Microsoft::WRL::ComPtr<IBaseFilter> filter, Microsoft::WRL::ComPtr<IVMRSurfaceAllocator9> allocator);
  ~DShowVmr9() override;

  bool CopyFrame(PosterFrame& frame) override;
  bool ReleaseSurfaces() override;
  DShowVmr9Grabber& grabber() const;

  Microsoft::WRL::ComPtr<IVMRSurfaceAllocator9> allocator;
};

// A VMR-9 in renderless mode, one stream, whose allocator-presenter is a new grabber on device;
// null when any step fails (the graph then plays without video).
std::unique_ptr<DShowVmr9> CreateVmr9Renderer(IDirect3DDevice9* device);

// The VMR-7 renderer for a graph given a DirectDraw object. Its frame grabber is not part of this
// program yet: null, so such a graph plays without video.
std::unique_ptr<DShowVmrBase> CreateVmr7Renderer(IDirect3DDevice9* device, IDirectDraw7* ddraw);
