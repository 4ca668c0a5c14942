#include "engine/PlaybackSkeleton.h"

#include <algorithm>

#include "engine/RegisteredMessages.h"
#include "media/DShowFilterGraph.h"
#include "media/PosterFrame.h"
#include "render/PlaybackRenderer.h"

namespace {
constexpr DWORD kFirstVideoFrameMs = 5000;

// The locks of one frame, taken in list order and left in reverse.
class FrameLocks {
 public:
  explicit FrameLocks(const std::vector<ILockable*>& locks) : locks_(locks) {
    for (ILockable* lock : locks_) lock->Lock();
  }
  ~FrameLocks() {
    for (auto lock = locks_.rbegin(); lock != locks_.rend(); ++lock) (*lock)->Unlock();
  }
  FrameLocks(const FrameLocks&) = delete;
  FrameLocks& operator=(const FrameLocks&) = delete;

 private:
  const std::vector<ILockable*>& locks_;
};
}  // namespace

PlaybackSkeleton::PlaybackSkeleton(const PlaybackContext& context)
    : context_(context), waitList_{context.stopEvent, context.displayOffEvent} {}

PlaybackSkeleton::~PlaybackSkeleton() = default;

void PlaybackSkeleton::SetEvents(std::initializer_list<HANDLE> frameEvents, std::initializer_list<HANDLE> endEvents,
                                 std::initializer_list<ILockable*> frameLocks, HANDLE backgroundEnded) {
  waitList_.resize(2);  // the stop event and the displays going off
  waitList_.insert(waitList_.end(), frameEvents);
  firstEndEvent_ = waitList_.size();
  waitList_.insert(waitList_.end(), endEvents);
  frameLocks_.assign(frameLocks);
  backgroundEnded_ = backgroundEnded;
}

bool PlaybackSkeleton::IsEndEvent(HANDLE event) const {
  const auto endsAt = waitList_.begin() + static_cast<std::ptrdiff_t>(firstEndEvent_);
  return std::find(endsAt, waitList_.end(), event) != waitList_.end();
}

bool PlaybackSkeleton::StopRequested() const { return WaitForSingleObject(stopEvent(), 0) == WAIT_OBJECT_0; }

void PlaybackSkeleton::PostToWindow(UINT message) const { PostMessageW(context_.window, message, 0, 0); }

void PlaybackSkeleton::EndPlayback() const {
  if (!StopRequested()) PostToWindow(EndMessage);
}

PlaybackSkeleton::EventWait PlaybackSkeleton::WaitForEvent(HANDLE event, DWORD timeoutMs) const {
  HANDLE woken = WaitAnyFor({stopEvent(), event}, timeoutMs);
  if (woken == stopEvent()) return EventWait::Stopped;
  return woken == event ? EventWait::Arrived : EventWait::TimedOut;
}

bool PlaybackSkeleton::TakeFirstFrame(DShowFilterGraph& graph, HANDLE frameEvent, PosterFrame& frame) const {
  const EventWait first = WaitForEvent(frameEvent, kFirstVideoFrameMs);
  if (first == EventWait::Stopped) return false;
  if (first == EventWait::Arrived) {
    LockGuard guard(graph);
    if (graph.CopyFrame(frame) && frame.texture) return true;
  }
  EndPlayback();
  return false;
}

void PlaybackSkeleton::Play(const std::function<FrameResult()>& drawFrame) {
  for (;;) {
    HANDLE woken = WaitAny(paused_ ? pausedWaitList_ : waitList_);
    if (woken == stopEvent()) return;
    if (woken == context_.displayOffEvent) {
      Pause();
      continue;
    }
    if (woken == context_.displayOnEvent) {
      // The frame it stopped at is drawn at once: whatever the display kept meanwhile, it shows
      // the picture again without waiting for the next frame.
      if (!Resume()) return;
    } else if (woken == backgroundEnded_ && paused_) {
      if (!RestartMediaAlone()) return;
      continue;
    } else if (IsEndEvent(woken)) {
      if (!Restart(woken)) return;
      continue;
    }
    FrameResult result;
    {
      FrameLocks guard(frameLocks_);
      result = drawFrame();
    }
    // The locks are free again before any graph is stopped: stopping waits for the video
    // renderer's thread, which may itself be waiting for a lock with a frame in hand.
    if (result == FrameResult::DeviceLost) return EndOnLostDevice();
  }
}

namespace {
// The graphs that decode pictures: the shadow movie, and background media with video.
std::vector<DShowFilterGraph*> MovieGraphs(const PlaybackContext& context) {
  std::vector<DShowFilterGraph*> graphs;
  for (DShowFilterGraph* graph : {context.shadowGraph, &context.backgroundGraph}) {
    if (graph != nullptr && graph->HasVideo()) graphs.push_back(graph);
  }
  return graphs;
}
}  // namespace

void PlaybackSkeleton::Pause() {
  paused_ = true;
  pausedWaitList_ = {stopEvent(), context_.displayOnEvent};
  // Sound-only background media is what the user listens to, displays or not.
  const bool mediaPlaysOn = context_.bgmEnabled && !context_.backgroundGraph.HasVideo();
  if (mediaPlaysOn && backgroundEnded_ != nullptr) pausedWaitList_.push_back(backgroundEnded_);
  for (DShowFilterGraph* graph : MovieGraphs(context_)) graph->Pause();
  HoldFrames();
  context_.statistics.drawingPaused = true;
}

bool PlaybackSkeleton::Resume() {
  paused_ = false;
  context_.statistics.drawingPaused = false;
  for (DShowFilterGraph* graph : MovieGraphs(context_)) {
    if (!graph->Run(0)) {
      EndPlayback();
      return false;
    }
  }
  ReleaseFrames();
  return true;
}

bool PlaybackSkeleton::RestartMediaAlone() {
  DShowFilterGraph& media = context_.backgroundGraph;
  ++context_.statistics.restarts;
  ++context_.statistics.mediaRestarts;
  media.Stop(-1, stopEvent());
  if (StopRequested()) return false;
  media.Rewind();
  // Media that cannot start again (its output device has gone) stays silent until its next end
  // or device event; the paused drawing is not its concern.
  if (media.Cue(stopEvent())) media.Run(-1, stopEvent());
  return !StopRequested();
}

bool CopyNewFrame(DShowFilterGraph& graph, PosterFrame& frame) {
  const int64_t shown = frame.time;
  const void* owner = frame.owner;
  graph.CopyFrame(frame);
  return frame.time != shown || frame.owner != owner;
}

PlaybackSkeleton::FrameResult PresentFrame(PlaybackStatistics& statistics, PlaybackRenderer& renderer,
                                           bool newVideoFrame, bool newMovieFrame) {
  if (renderer.DrawViews() != S_OK) return PlaybackSkeleton::FrameResult::Drawn;
  if (renderer.Present() == D3DERR_DEVICELOST) return PlaybackSkeleton::FrameResult::DeviceLost;
  ++statistics.framesPresented;
  if (newVideoFrame) ++statistics.videoFramesDrawn;
  if (newMovieFrame) ++statistics.movieFramesDrawn;
  return PlaybackSkeleton::FrameResult::Drawn;
}
