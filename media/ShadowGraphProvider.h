#pragma once
// The frame producer of the packed-frame modes: a thread of its own that decodes the frames of the
// packed frame file one after another, paces them at 30 per second and publishes each into two
// textures (the silhouette and the mask) for the render thread. It stops by itself after the last
// frame and stays idle until it is let run again.
//
// Calling order (render thread): construct; WaitUntilStarted; Resume; at each end of the animation
// (the ended event) RewindToStart if the last frame was reached, then Resume; Pause and Resume at
// any time in between; destroy.
#include <d3d9.h>
#include <windows.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/ThreadToolkit.h"
#include "base/UniqueHandle.h"
#include "render/QuadTexture.h"

class ImageUnpacker;

class ShadowGraphProvider : public Thread, public ILockable {
 public:
  // Starts the thread, which publishes firstFrame (its low 32 bits) at once and then waits to be
  // let run. readyEvent is set after every published frame, endedEvent when the animation has run
  // past its last frame; both stay the caller's. unpacker must outlive the object. The silhouette is
  // drawn at opacityPercent (0 to 100).
  ShadowGraphProvider(IDirect3DDevice9* device, uint8_t opacityPercent, ImageUnpacker& unpacker, int64_t firstFrame,
                      HANDLE readyEvent, HANDLE endedEvent);
  // Stops and joins the thread (the frame in hand is published first) before anything is freed.
  ~ShadowGraphProvider() override;

  // Returns once the first frame is published.
  void WaitUntilStarted();
  // Lets the producer run: frame after frame on the clock until the last one. After an idle time the
  // next frame comes one period later: the time spent idle is not frames to skip.
  void Resume();
  // Holds the producer between two frames and returns once it is idle (or callerStop is set): a
  // frame decoded meanwhile is kept for the next run, so the current frame stays the one last
  // published until Resume.
  void Pause(HANDLE callerStop);
  // The next run starts over; the frame shown next is the clock's last advance (normally 1).
  bool RewindToStart();

  // Takes effect from the next frame decoded; the published frame keeps its opacity.
  void SetOpacity(uint8_t percent) { opacityPercent_ = percent; }

  HRESULT DrawSilhouette(float x, float y, float width, float height);
  HRESULT DrawMask(float x, float y, float width, float height);

  void Lock() override;
  void Unlock() override;

  int32_t currentFrame();
  int32_t frameCount() const { return frameCount_; }

  // The published textures, for a renderer that draws them itself; only while holding Lock.
  QuadTexture& silhouetteTexture() { return *silhouetteTexture_; }
  QuadTexture& maskTexture() { return *maskTexture_; }

 private:
  struct Staging;

  void ProduceFrames();
  // Waits until the producer may run (idle meanwhile, and the clock then starts afresh); false
  // when it is to stop.
  bool WaitToRun(const std::vector<HANDLE>& waitList, bool& restartClock);
  bool MayRun() const;
  void PrepareFrame(int32_t frame, Staging& staging);
  // The frame as silhouette texels of that opacity into a system-memory surface.
  void WriteTexels(IDirect3DSurface9* surface, const std::vector<uint8_t>& frame, uint8_t opacity);
  void PublishFrame(int32_t frame, Staging& staging);

  LightWeightMutex lock_;
  const int32_t frameCount_;
  int32_t currentFrame_;  // under lock_
  std::atomic<uint8_t> opacityPercent_;
  ImageUnpacker& unpacker_;
  Microsoft::WRL::ComPtr<IDirect3DDevice9> device_;
  std::unique_ptr<QuadTexture> silhouetteTexture_;  // under lock_
  std::unique_ptr<QuadTexture> maskTexture_;        // under lock_
  const HANDLE readyEvent_;
  const HANDLE endedEvent_;
  UniqueHandle runEvent_;      // manual reset: set while the producer may run
  UniqueHandle startedEvent_;  // manual reset: set once the first frame is published
  UniqueHandle idleEvent_;     // manual reset: set while the producer waits to be let run
};
