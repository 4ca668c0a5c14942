#pragma once
// A video mixing renderer in renderless mode with its frame grabber, and the pins remembered
// while the renderer is detached for a device reset. The graph holds one, VMR-9 or VMR-7, through
// DShowVmrBase.
#include <windows.h>
#include <d3d9.h>
#include <ddraw.h>
#include <dshow.h>
#include <vmr9.h>
#include <wrl/client.h>

#include <cstdint>
#include <memory>

#include "base/ThreadToolkit.h"

struct PosterFrame;
class DShowVmr7Grabber;
class DShowVmr9Grabber;

class DShowVmrBase : public ILockable {
 public:
  DShowVmrBase(Microsoft::WRL::ComPtr<IBaseFilter> vmrFilter, const wchar_t* graphName);
  ~DShowVmrBase() override;
  DShowVmrBase(const DShowVmrBase&) = delete;
  DShowVmrBase& operator=(const DShowVmrBase&) = delete;

  // Held by the render thread while it copies and draws a frame: the VMR-9 grabber's lock, so that
  // no new frame is presented meanwhile. The VMR-7 holds nothing (its CopyFrame locks for the copy).
  void Lock() override = 0;
  void Unlock() override = 0;
  // The grabber's newest frame (see FrameSlot::CopyFrame).
  virtual bool CopyFrame(PosterFrame& frame) = 0;
  // Frees the grabber's device resources before a device reset.
  virtual bool ReleaseSurfaces() = 0;
  // The event the grabber sets after each presented frame, or null; not owned.
  virtual void SetFrameEvent(HANDLE event) = 0;
  // Diagnostics: the grabber's PresentImage calls begun, and frames copied.
  struct Deliveries {
    uint64_t presentCalls = 0;
    uint64_t framesPresented = 0;
  };
  virtual Deliveries deliveries() const = 0;

  Microsoft::WRL::ComPtr<IBaseFilter> filter;
  // The renderer's name in the graph ("VMR9", "VMR7").
  const wchar_t* const name;
  // Set while the renderer is detached: its input pin and the pin that was connected to it.
  Microsoft::WRL::ComPtr<IPin> vmrPin;
  Microsoft::WRL::ComPtr<IPin> upstreamPin;
};

// One VMR and its grabber, held through the grabber's allocator interface. lockedWhileDrawn: Lock
// takes the grabber's lock (see DShowVmrBase::Lock).
template <typename Grabber, typename Allocator, bool lockedWhileDrawn>
class DShowVmr : public DShowVmrBase {
 public:
  DShowVmr(Microsoft::WRL::ComPtr<IBaseFilter> vmrFilter, const wchar_t* graphName,
           Microsoft::WRL::ComPtr<Allocator> grabberAllocator)
      : DShowVmrBase(std::move(vmrFilter), graphName), allocator(std::move(grabberAllocator)) {}

  void Lock() override {
    if (lockedWhileDrawn) grabber().Lock();
  }
  void Unlock() override {
    if (lockedWhileDrawn) grabber().Unlock();
  }
  bool CopyFrame(PosterFrame& frame) override { return grabber().CopyFrame(frame); }
  bool ReleaseSurfaces() override { return grabber().ReleaseSurfaces(); }
  void SetFrameEvent(HANDLE event) override { grabber().SetFrameEvent(event); }
  Deliveries deliveries() const override { return {grabber().presentCalls(), grabber().framesPresented()}; }
  // The allocator interface is the grabber's primary base.
  Grabber& grabber() const { return *static_cast<Grabber*>(allocator.Get()); }

  Microsoft::WRL::ComPtr<Allocator> allocator;
};

using DShowVmr9 = DShowVmr<DShowVmr9Grabber, IVMRSurfaceAllocator9, true>;
using DShowVmr7 = DShowVmr<DShowVmr7Grabber, IVMRSurfaceAllocator, false>;

// A VMR-9 in renderless mode, one stream, whose allocator-presenter is a new grabber on device;
// null when any step fails (the graph then plays without video).
std::unique_ptr<DShowVmr9> CreateVmr9Renderer(IDirect3DDevice9* device);

// The same with a VMR-7, whose grabber copies each frame through system memory into a texture of
// device and leaves allocation to the system's default VMR-7 allocator-presenter on ddraw. Null
// when any step fails, and so where that allocator-presenter is missing.
std::unique_ptr<DShowVmr7> CreateVmr7Renderer(IDirect3DDevice9* device, IDirectDraw7* ddraw);
