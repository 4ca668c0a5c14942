#pragma once
// What the packed-frame loops share: the events that link the playback thread with the frame
// producer and the background graph, the wait list, and the restart at the end of the animation
// or of the background media.
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "engine/ThreadToolkit.h"
#include "engine/UniqueHandle.h"

class UmbraneEngine;
class ShadowGraphProvider;
class ShadowScene;

class PackedFramePlayback {
 public:
  // Creates the four events and the producer, starting at the engine's resume position, and
  // hands the video-frame and media-ended events to the background graph.
  explicit PackedFramePlayback(UmbraneEngine& engine);
  ~PackedFramePlayback();
  PackedFramePlayback(const PackedFramePlayback&) = delete;
  PackedFramePlayback& operator=(const PackedFramePlayback&) = delete;

  enum class Wake { Stop, Draw, AnimationEnded, MediaEnded };
  Wake Wait();

  // Waits for the background graph's video frame up to the time-out, or until the thread is asked
  // to stop.
  enum class VideoWait { Arrived, TimedOut, Stopped };
  VideoWait WaitForVideoFrame(DWORD timeoutMs);

  // The thread is being asked to stop: whatever wait ended, no failure is reported for it.
  bool StopRequested() const;
  // Posts EndMessage unless the thread is being asked to stop (then the failure is that request's
  // doing, not the media's).
  void EndPlayback() const;

  // The animation or the background media reached its end. False when playback cannot go on
  // (EndMessage has been posted) or the thread is being asked to stop.
  bool Restart(Wake reason);

  // Lets the producer run: the animation starts or continues.
  void LetRun();

  enum class FrameResult { Drawn, DeviceLost };
  // The loop every packed-frame body runs once it is set up: restarts at the ends of the
  // animation and of the media, and drawFrame for every frame with the background graph locked.
  // A lost device saves the frame to resume at, stops the media and posts DeviceLostMessage.
  // Returns when the thread is stopped, playback cannot go on, or the device was lost.
  void Play(const std::function<FrameResult()>& drawFrame);

  // The first pass of the producer's newest frame, under its lock.
  void ComposeScene(ShadowScene& scene);

  ShadowGraphProvider& producer() { return *producer_; }

 private:
  void EndOnLostDevice();

  UmbraneEngine& engine_;
  UniqueHandle frameReady_;
  UniqueHandle animationEnded_;
  UniqueHandle videoFrame_;
  UniqueHandle mediaEnded_;
  std::unique_ptr<ShadowGraphProvider> producer_;
  std::vector<HANDLE> waitList_;
};

// Posts a message with parameters 0, 0 to the engine's window: the playback thread's only way to
// reach the window.
void PostToEngineWindow(const UmbraneEngine& engine, UINT message);
