#pragma once
// What every playback thread body shares: a wait list led by the thread's stop event, waits that
// end on a stop request, the loop that restarts at an end and draws at each frame with the frame's
// locks held, and the two ways out (EndMessage, DeviceLostMessage). The packed-frame bodies and
// the shadow-movie body are variations of it: each names its events, its locks, its restart and
// what a lost device stops.
//
// While the displays are off nothing is drawn or decoded for nobody: the movie graphs (a graph with
// video) are paused and the body holds its frames (the producer stops between two frames); sound-only
// background media plays on and loops alone. When a display comes back the graphs run again and the
// frame the playback stopped at is drawn at once. The window thread announces the state through the
// context's two display events; nothing else passes between the threads for it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "engine/PlaybackModes.h"
#include "base/ThreadToolkit.h"

class DShowFilterGraph;
class PlaybackRenderer;
struct PosterFrame;

class PlaybackSkeleton {
 public:
  virtual ~PlaybackSkeleton();
  PlaybackSkeleton(const PlaybackSkeleton&) = delete;
  PlaybackSkeleton& operator=(const PlaybackSkeleton&) = delete;

  // The thread is being asked to stop: whatever wait ended, no failure is reported for it.
  bool StopRequested() const;
  // Posts EndMessage unless the thread is being asked to stop (then the failure is that request's
  // doing, not the media's).
  void EndPlayback() const;

  // Waits for the event up to the time-out, or until the thread is asked to stop.
  enum class EventWait { Arrived, TimedOut, Stopped };
  EventWait WaitForEvent(HANDLE event, DWORD timeoutMs) const;

  // After a Cue: waits up to 5000 ms for the graph's first video frame and copies it into frame.
  // False when playback cannot go on (EndMessage posted, unless the thread is being stopped).
  bool TakeFirstFrame(DShowFilterGraph& graph, HANDLE frameEvent, PosterFrame& frame) const;

  enum class FrameResult { Drawn, DeviceLost };
  // Until the thread is stopped, playback cannot go on, or the device was lost: at an end event
  // the body's Restart, at a frame event drawFrame with the frame's locks held (taken in order,
  // released before anything else happens, so that no graph is stopped or run under them); while
  // the displays are off, nothing but the sound-only background media's restarts.
  void Play(const std::function<FrameResult()>& drawFrame);

 protected:
  // How long a restart waits for a graph's first video frame after the cue; late ones are not waited
  // for longer.
  static constexpr DWORD kVideoFrameAfterRestartMs = 1000;

  explicit PlaybackSkeleton(const PlaybackContext& context);
  // The wait list: the stop event, the displays going off, then the frame events, then the end
  // events (in this order a stop wins over everything, a pause over a frame and a frame over a
  // restart); the locks of every frame; and which end event is the background media's.
  void SetEvents(std::initializer_list<HANDLE> frameEvents, std::initializer_list<HANDLE> endEvents,
                 std::initializer_list<ILockable*> frameLocks, HANDLE backgroundEnded);
  HANDLE stopEvent() const { return waitList_.front(); }
  // Posts a message with parameters 0, 0 to the window: the thread's only way to reach it.
  void PostToWindow(UINT message) const;

  // One of the end events was set. False when playback cannot go on (EndMessage has been posted)
  // or the thread is being asked to stop.
  virtual bool Restart(HANDLE endEvent) = 0;
  // Presenting reported a lost device: stop what must stop and post DeviceLostMessage.
  virtual void EndOnLostDevice() = 0;
  // The displays went off: keep the frames where they are (after the movie graphs were paused).
  virtual void HoldFrames() {}
  // A display came back: let the frames go on (after the movie graphs run again).
  virtual void ReleaseFrames() {}

  const PlaybackContext& context_;

 private:
  bool IsEndEvent(HANDLE event) const;
  void Pause();
  // False when a movie graph cannot run again (EndMessage has been posted).
  bool Resume();
  // The sound-only background media ended while the displays are off: it starts over alone.
  bool RestartMediaAlone();

  std::vector<HANDLE> waitList_;
  std::vector<HANDLE> pausedWaitList_;
  size_t firstEndEvent_ = 1;
  std::vector<ILockable*> frameLocks_;
  HANDLE backgroundEnded_ = nullptr;
  bool paused_ = false;
};

// Copies the graph's newest frame into frame (the caller holds the graph's lock); true when it is
// another frame than the one frame held.
bool CopyNewFrame(DShowFilterGraph& graph, PosterFrame& frame);

// The second pass and the present of a frame drawn by the Direct3D window's renderer, counted in
// the statistics (the frame shows a new background video frame, a new shadow-movie frame). A scene
// that could not begin or end skips the frame.
PlaybackSkeleton::FrameResult PresentFrame(PlaybackStatistics& statistics, PlaybackRenderer& renderer,
                                           bool newVideoFrame, bool newMovieFrame = false);
