#pragma once
// The packed-frame bodies' variation of the playback skeleton: the events that link the playback
// thread with the frame producer and the background graph, and the restart at the end of the
// animation or of the background media.
#include <windows.h>

#include <memory>

#include "engine/PlaybackSkeleton.h"
#include "engine/base/UniqueHandle.h"

class ShadowGraphProvider;
class ShadowScene;

class PackedFramePlayback : public PlaybackSkeleton {
 public:
  // Creates the four events and the producer, starting at the engine's resume position, and
  // hands the video-frame and media-ended events to the background graph. Each frame is drawn
  // with the background graph locked.
  explicit PackedFramePlayback(UmbraneEngine& engine);
  ~PackedFramePlayback() override;

  // The background graph's video-frame event.
  HANDLE videoFrameEvent() const { return videoFrame_.get(); }

  // Lets the producer run: the animation starts or continues.
  void LetRun();

  // The first pass of the producer's newest frame, under its lock.
  void ComposeScene(ShadowScene& scene);

  ShadowGraphProvider& producer() { return *producer_; }

 private:
  bool Restart(HANDLE endEvent) override;
  // Saves the frame to resume at and stops the media.
  void EndOnLostDevice() override;
  // The producer stops between two frames; its frame is the one to resume at.
  void HoldFrames() override;
  void ReleaseFrames() override;

  UniqueHandle frameReady_;
  UniqueHandle animationEnded_;
  UniqueHandle videoFrame_;
  UniqueHandle mediaEnded_;
  std::unique_ptr<ShadowGraphProvider> producer_;
};
