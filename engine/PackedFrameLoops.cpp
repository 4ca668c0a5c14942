// The packed-frame modes' playback threads: the frames of the frame file, decoded and paced by the
// frame producer, drawn into the Direct3D window over the desktop capture or the background video
// (PlaybackLoop), or off-screen and read back into the frame surface that the window thread hands
// to the layered window (LayeredLoop). Both share their variation of the playback skeleton, first
// below; they differ in how they start and in how each frame is drawn.
#include "base/FatalCheck.h"
#include "base/UniqueHandle.h"
#include "engine/PlaybackModes.h"
#include "engine/PlaybackSettings.h"
#include "engine/PlaybackSkeleton.h"
#include "engine/RegisteredMessages.h"
#include "media/DShowFilterGraph.h"
#include "media/PosterFrame.h"
#include "media/ShadowGraphProvider.h"
#include "render/LayeredRenderer.h"
#include "render/PlaybackRenderer.h"

namespace {
// The packed-frame bodies' variation of the playback skeleton: the events that link the playback
// thread with the frame producer and the background graph, and the restart at the end of the
// animation or of the background media.
class PackedFramePlayback : public PlaybackSkeleton {
 public:
  // Creates the four events and the producer, starting at the resume position, and hands the
  // video-frame and media-ended events to the background graph. Each frame is drawn with the
  // background graph locked.
  PackedFramePlayback(const PlaybackContext& context, const PackedFrames& frames)
      : PlaybackSkeleton(context),
        media_(context.backgroundGraph),
        resumePosition_(frames.resumePosition),
        frameReady_(CreateEventOrDie(false, false)),
        animationEnded_(CreateEventOrDie(false, false)),
        videoFrame_(CreateEventOrDie(false, false)),
        mediaEnded_(CreateEventOrDie(false, false)),
        producer_(context.device, frames.silhouetteOpacity, frames.file, frames.resumePosition, frameReady_.get(),
                  animationEnded_.get()) {
    context.statistics.producerThreadId = producer_.id();
    media_.SetFrameEvent(videoFrame_.get());
    media_.SetCompletionEvent(mediaEnded_.get());
    SetEvents({frameReady_.get(), videoFrame_.get()}, {animationEnded_.get(), mediaEnded_.get()}, {&media_},
              mediaEnded_.get());
  }
  ~PackedFramePlayback() override {
    // The graph outlives this object: it must not signal an event that is about to be closed.
    media_.SetFrameEvent(nullptr);
  }

  DShowFilterGraph& media() { return media_; }
  ShadowGraphProvider& producer() { return producer_; }
  // The background graph's video-frame event.
  HANDLE videoFrameEvent() const { return videoFrame_.get(); }

  // Lets the producer run: the animation starts or continues.
  void LetRun() { producer_.Resume(); }

  // The first pass of the producer's newest frame, under its lock.
  void ComposeScene(ShadowScene& scene) {
    LockGuard producerGuard(producer_);
    scene.DrawPackedScene(producer_.silhouetteTexture(), producer_.maskTexture());
    context_.statistics.lastDrawnFrame = producer_.currentFrame();
  }

 private:
  bool Restart(HANDLE endEvent) override {
    const bool animationEnded = endEvent == animationEnded_.get();
    // A single frame has nothing to loop: restarting it would only exchange events as fast as the
    // two threads can. The picture stays; background media still loops on its own end.
    if (animationEnded && producer_.frameCount() <= 1) return true;
    ++context_.statistics.restarts;
    if (!animationEnded) ++context_.statistics.mediaRestarts;
    if (!context_.bgmEnabled) {
      // Without background media the animation simply loops; at its end the producer is idle, so
      // rewinding it here cannot race with a frame in hand.
      if (producer_.frameCount() <= producer_.currentFrame() + 1) producer_.RewindToStart();
      LetRun();
      return true;
    }
    // Every wait on the graph also ends on a stop request: a graph that never reaches its state
    // must not keep the engine from closing.
    media_.Stop(-1, stopEvent());
    if (StopRequested()) return false;
    ResetEventOrDie(videoFrame_.get());
    media_.Rewind();
    // Media that cannot start again (its output device has gone) stays still until its next
    // restart; the animation goes on regardless.
    const bool cued = media_.Cue(stopEvent());
    if (StopRequested()) return false;
    if (cued && media_.HasVideo() && WaitForEvent(videoFrame_.get(), kVideoFrameAfterRestartMs) == EventWait::Stopped) {
      return false;
    }
    if (producer_.frameCount() <= producer_.currentFrame() + 1) producer_.RewindToStart();
    if (cued) media_.Run(-1, stopEvent());
    if (StopRequested()) return false;
    LetRun();
    return true;
  }

  // Saves the frame to resume at and stops the media.
  void EndOnLostDevice() override {
    {
      LockGuard producerGuard(producer_);
      resumePosition_ = producer_.currentFrame();
    }
    if (context_.bgmEnabled) media_.Stop(0);
    PostToWindow(DeviceLostMessage);
  }

  // The producer stops between two frames; its frame is the one to resume at.
  void HoldFrames() override {
    producer_.Pause(stopEvent());
    LockGuard producerGuard(producer_);
    resumePosition_ = producer_.currentFrame();
  }
  void ReleaseFrames() override { LetRun(); }

  DShowFilterGraph& media_;
  int64_t& resumePosition_;
  UniqueHandle frameReady_;
  UniqueHandle animationEnded_;
  UniqueHandle videoFrame_;
  UniqueHandle mediaEnded_;
  ShadowGraphProvider producer_;
};
}  // namespace

void PlaybackLoop(const PlaybackContext& context, const PackedFrames& frames) {
  // The background movie's newest frame: every view's background when the movie has video. It
  // outlives the renderer, whose views point at its texture.
  PosterFrame backgroundVideo;
  PlaybackRenderer renderer(context.device, context.backBuffer);
  FatalUnless(renderer.BuildStateBlocks(), "building the render-state blocks");

  PackedFramePlayback playback(context, frames);
  DShowFilterGraph& media = playback.media();
  renderer.ClearBackBuffer();

  if (!media.Cue(context.stopEvent)) return playback.EndPlayback();
  const bool hasVideo = media.HasVideo();
  if (hasVideo && !playback.TakeFirstFrame(media, playback.videoFrameEvent(), backgroundVideo)) return;
  playback.producer().WaitUntilStarted();

  if (!renderer.BuildResources(context.renderSettings, context.layout, SilhouetteSizeOf(frames.file),
                               backgroundVideo.texture.get())) {
    return playback.EndPlayback();
  }
  if (!media.Run(-1, context.stopEvent)) return playback.EndPlayback();
  playback.LetRun();

  playback.Play([&] {
    // Under the background graph's lock: no new video frame is presented until this one is shown.
    const bool newVideoFrame = hasVideo && CopyNewFrame(media, backgroundVideo);
    playback.ComposeScene(renderer);
    return PresentFrame(context.statistics, renderer, newVideoFrame);
  });
}

void LayeredLoop(const PlaybackContext& context, const PackedFrames& frames, const LayeredHandOver& window) {
  LayeredRenderer renderer(context.device);
  PackedFramePlayback playback(context, frames);
  if (!renderer.BuildResources(context.renderSettings, context.layout, SilhouetteSizeOf(frames.file),
                               {window.size.cx, window.size.cy})) {
    return playback.EndPlayback();
  }
  // Only the background media's sound plays here: it is neither cued nor waited for, and its
  // picture is not drawn.
  if (context.bgmEnabled && !playback.media().Run(0)) return playback.EndPlayback();
  playback.producer().WaitUntilStarted();
  playback.LetRun();

  playback.Play([&] {
    playback.ComposeScene(renderer);
    // A scene that could not begin or end skips the frame.
    if (renderer.DrawLayers() != S_OK) return PlaybackSkeleton::FrameResult::Drawn;
    HRESULT copied;
    {
      LockGuard frameGuard(window.frameLock);
      copied = renderer.CopyTo(window.frameSurface.Get());
    }
    if (copied == D3DERR_DEVICELOST) return PlaybackSkeleton::FrameResult::DeviceLost;
    SetEventOrDie(window.frameReadyEvent);
    return PlaybackSkeleton::FrameResult::Drawn;
  });
}
