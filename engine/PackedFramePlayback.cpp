#include "engine/PackedFramePlayback.h"

#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "media/ShadowGraphProvider.h"
#include "render/ShadowScene.h"
#include "settings/UmbraneConfig.h"

namespace {
constexpr DWORD kVideoFrameAfterRestartMs = 1000;
}

PackedFramePlayback::PackedFramePlayback(UmbraneEngine& engine)
    : PlaybackSkeleton(engine),
      frameReady_(CreateEventOrDie(false, false)),
      animationEnded_(CreateEventOrDie(false, false)),
      videoFrame_(CreateEventOrDie(false, false)),
      mediaEnded_(CreateEventOrDie(false, false)) {
  producer_ = std::make_unique<ShadowGraphProvider>(engine.device.Get(), *engine.config, engine.frameSource,
                                                    engine.resumePosition, frameReady_.get(), animationEnded_.get());
  engine.producerThreadId = producer_->id();
  engine.backgroundGraph->SetFrameEvent(videoFrame_.get());
  engine.backgroundGraph->SetCompletionEvent(mediaEnded_.get());
  SetEvents({frameReady_.get(), videoFrame_.get()}, {animationEnded_.get(), mediaEnded_.get()},
            {engine.backgroundGraph.get()}, mediaEnded_.get());
}

PackedFramePlayback::~PackedFramePlayback() {
  // The graph outlives this object: it must not signal an event that is about to be closed.
  engine_.backgroundGraph->SetFrameEvent(nullptr);
}

void PackedFramePlayback::LetRun() { producer_->Resume(); }

bool PackedFramePlayback::Restart(HANDLE endEvent) {
  DShowFilterGraph& graph = *engine_.backgroundGraph;
  ShadowGraphProvider& producer = *producer_;
  const bool animationEnded = endEvent == animationEnded_.get();
  // A single frame has nothing to loop: restarting it would only exchange events as fast as the
  // two threads can. The picture stays; background media still loops on its own end.
  if (animationEnded && producer.frameCount() <= 1) return true;
  ++engine_.restarts;
  if (!animationEnded) ++engine_.mediaRestarts;
  if (!engine_.config->bgmEnabled) {
    // Without background media the animation simply loops; at its end the producer is idle, so
    // rewinding it here cannot race with a frame in hand.
    if (producer.frameCount() <= producer.currentFrame() + 1) producer.RewindToStart();
    LetRun();
    return true;
  }
  // Every wait on the graph also ends on a stop request: a graph that never reaches its state must
  // not keep the engine from closing.
  graph.Stop(-1, stopEvent());
  if (StopRequested()) return false;
  ResetEventOrDie(videoFrame_.get());
  graph.Rewind();
  if (!graph.Cue(stopEvent())) {
    EndPlayback();
    return false;
  }
  if (graph.HasVideo() && WaitForEvent(videoFrame_.get(), kVideoFrameAfterRestartMs) == EventWait::Stopped) {
    return false;
  }
  if (producer.frameCount() <= producer.currentFrame() + 1) producer.RewindToStart();
  graph.Run(-1, stopEvent());
  if (StopRequested()) return false;
  LetRun();
  return true;
}

void PackedFramePlayback::ComposeScene(ShadowScene& scene) {
  LockGuard producerGuard(*producer_);
  scene.DrawPackedScene(producer_->silhouetteTexture(), producer_->maskTexture());
  engine_.lastDrawnFrame = producer_->currentFrame();
}

void PackedFramePlayback::HoldFrames() {
  producer_->Pause(stopEvent());
  LockGuard producerGuard(*producer_);
  engine_.resumePosition = producer_->currentFrame();
}

void PackedFramePlayback::ReleaseFrames() { LetRun(); }

void PackedFramePlayback::EndOnLostDevice() {
  {
    LockGuard producerGuard(*producer_);
    engine_.resumePosition = producer_->currentFrame();
  }
  if (engine_.config->bgmEnabled) engine_.backgroundGraph->Stop(0);
  PostToEngineWindow(engine_, DeviceLostMessage);
}
