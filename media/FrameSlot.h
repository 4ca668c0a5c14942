#pragma once
// What both frame grabbers keep of the video: the poster (the newest captured frame, stamped with
// its time) under one lock, the event set after each frame, and how many frames came. The
// renderer's streaming threads fill the poster through the grabber; the render thread copies it
// out with CopyFrame.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "base/ThreadToolkit.h"
#include "media/PosterFrame.h"

class FrameSlot : public ILockable {
 public:
  FrameSlot(const FrameSlot&) = delete;
  FrameSlot& operator=(const FrameSlot&) = delete;

  // The lock (re-entrant) over the poster, its texture, the frame event and whatever the grabber
  // keeps beside them (its surfaces).
  void Lock() override;
  void Unlock() override;

  // Copies the newest frame into frame unless it already holds it (no picture copy then): its owner,
  // time and picture, frame's texture made as a copy of the poster's when it has none. False before
  // the first frame and after the poster was dropped, until the next one; else true whatever the
  // picture copy answered.
  bool CopyFrame(PosterFrame& frame);
  // The event set after each presented frame, or null; not owned.
  void SetFrameEvent(HANDLE event);

  // Diagnostics: presentations begun, and frames that reached the poster.
  uint64_t presentCalls() const { return presentCalls_.load(); }
  uint64_t framesPresented() const { return framesPresented_.load(); }

 protected:
  // owner: the grabber, which every poster names as the frame's producer.
  explicit FrameSlot(const void* owner);
  ~FrameSlot() override;

  // The rest is called with the lock held, except CountPresentCall.
  PosterFrame* poster() const { return poster_.get(); }
  // A fresh poster (no time yet) holding texture.
  void NewPoster(std::unique_ptr<QuadTexture> texture);
  void DropPoster() { poster_.reset(); }
  // The poster's time for a presentation with these flags and sample start.
  void StampPoster(uint32_t presentationFlags, int64_t sampleStart);
  void CountPresentCall() { ++presentCalls_; }
  // The poster holds the presented frame: counted, and the frame event set (under the lock: the
  // render thread may be about to close the event it handed over).
  void AnnounceFrame();

 private:
  const void* owner_;
  LightWeightMutex lock_;
  HANDLE frameEvent_ = nullptr;
  std::unique_ptr<PosterFrame> poster_;
  std::atomic<uint64_t> presentCalls_{0};
  std::atomic<uint64_t> framesPresented_{0};
};
