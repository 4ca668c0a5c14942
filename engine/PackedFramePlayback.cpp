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

void PostToEngineWindow(const UmbraneEngine& engine, UINT message) { PostMessageW(engine.hwnd, message, 0, 0); }

PackedFramePlayback::PackedFramePlayback(UmbraneEngine& engine)
    : engine_(engine),
      frameReady_(CreateEventOrDie(false, false)),
      animationEnded_(CreateEventOrDie(false, false)),
      videoFrame_(CreateEventOrDie(false, false)),
      mediaEnded_(CreateEventOrDie(false, false)) {
  producer_ = std::make_unique<ShadowGraphProvider>(engine.device.Get(), *engine.config, engine.frameSource,
                                                    engine.resumePosition, frameReady_.get(), animationEnded_.get());
  engine.backgroundGraph->SetFrameEvent(videoFrame_.get());
  engine.backgroundGraph->SetCompletionEvent(mediaEnded_.get());
  // In this order: a stop wins over everything, a frame over a restart.
  waitList_ = {engine.playbackThread->stopEvent(), frameReady_.get(), videoFrame_.get(), animationEnded_.get(),
               mediaEnded_.get()};
}

PackedFramePlayback::~PackedFramePlayback() {
  // The graph outlives this object: it must not signal an event that is about to be closed.
  engine_.backgroundGraph->SetFrameEvent(nullptr);
}

PackedFramePlayback::Wake PackedFramePlayback::Wait() {
  HANDLE woken = WaitAny(waitList_);
  if (woken == waitList_[0]) return Wake::Stop;
  if (woken == animationEnded_.get()) return Wake::AnimationEnded;
  if (woken == mediaEnded_.get()) return Wake::MediaEnded;
  return Wake::Draw;
}

PackedFramePlayback::VideoWait PackedFramePlayback::WaitForVideoFrame(DWORD timeoutMs) {
  HANDLE woken = WaitAnyFor({waitList_[0], videoFrame_.get()}, timeoutMs);
  if (woken == waitList_[0]) return VideoWait::Stopped;
  return woken == videoFrame_.get() ? VideoWait::Arrived : VideoWait::TimedOut;
}

bool PackedFramePlayback::StopRequested() const { return WaitForSingleObject(waitList_[0], 0) == WAIT_OBJECT_0; }

void PackedFramePlayback::EndPlayback() const {
  if (!StopRequested()) PostToEngineWindow(engine_, EndMessage);
}

void PackedFramePlayback::LetRun() { producer_->Resume(); }

bool PackedFramePlayback::Restart(Wake reason) {
  DShowFilterGraph& graph = *engine_.backgroundGraph;
  ShadowGraphProvider& producer = *producer_;
  // A single frame has nothing to loop: restarting it would only exchange events as fast as the
  // two threads can. The picture stays; background media still loops on its own end.
  if (reason == Wake::AnimationEnded && producer.frameCount() <= 1) return true;
  ++engine_.restarts;
  if (reason == Wake::MediaEnded) ++engine_.mediaRestarts;
  if (!engine_.config->bgmEnabled) {
    // Without background media the animation simply loops; at its end the producer is idle, so
    // rewinding it here cannot race with a frame in hand.
    if (producer.frameCount() <= producer.currentFrame() + 1) producer.RewindToStart();
    LetRun();
    return true;
  }
  // Every wait on the graph also ends on a stop request: a graph that never reaches its state must
  // not keep the engine from closing.
  HANDLE stop = waitList_[0];
  graph.Stop(-1, stop);
  if (StopRequested()) return false;
  ResetEventOrDie(videoFrame_.get());
  graph.Rewind();
  if (!graph.Cue(stop)) {
    EndPlayback();
    return false;
  }
  if (graph.HasVideo() && WaitForVideoFrame(kVideoFrameAfterRestartMs) == VideoWait::Stopped) return false;
  if (producer.frameCount() <= producer.currentFrame() + 1) producer.RewindToStart();
  graph.Run(-1, stop);
  if (StopRequested()) return false;
  LetRun();
  return true;
}

void PackedFramePlayback::Play(const std::function<FrameResult()>& drawFrame) {
  for (;;) {
    const Wake wake = Wait();
    if (wake == Wake::Stop) return;
    if (wake != Wake::Draw) {
      if (!Restart(wake)) return;
      continue;
    }
    FrameResult result;
    {
      LockGuard mediaGuard(*engine_.backgroundGraph);
      result = drawFrame();
    }
    // The graph's lock is free again before the graph is stopped: stopping waits for the video
    // renderer's thread, which may itself be waiting for that lock with a frame in hand.
    if (result == FrameResult::DeviceLost) return EndOnLostDevice();
  }
}

void PackedFramePlayback::ComposeScene(ShadowScene& scene) {
  LockGuard producerGuard(*producer_);
  scene.DrawPackedScene(producer_->silhouetteTexture(), producer_->maskTexture());
  engine_.lastDrawnFrame = producer_->currentFrame();
}

void PackedFramePlayback::EndOnLostDevice() {
  {
    LockGuard producerGuard(*producer_);
    engine_.resumePosition = producer_->currentFrame();
  }
  if (engine_.config->bgmEnabled) engine_.backgroundGraph->Stop(0);
  PostToEngineWindow(engine_, DeviceLostMessage);
}
