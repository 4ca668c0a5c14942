#pragma once
// The shadow-movie body's variation of the playback skeleton: two graphs (the shadow movie, whose
// frames are the silhouette, and the background media), a video-frame and a media-ended event for
// each, no producer and no clock: the movie's own playback paces the frames. Each frame is drawn
// with both graphs locked, the background graph first.
#include <windows.h>

#include "engine/PlaybackSkeleton.h"
#include "engine/base/UniqueHandle.h"

class ShadowMoviePlayback : public PlaybackSkeleton {
 public:
  // Creates the four events and hands them to the two graphs.
  explicit ShadowMoviePlayback(UmbraneEngine& engine);
  ~ShadowMoviePlayback() override;

  HANDLE movieFrameEvent() const { return movieFrame_.get(); }
  HANDLE videoFrameEvent() const { return videoFrame_.get(); }

 private:
  // The movie ended: it restarts, and the background media with it. The media ended: it
  // restarts alone while the movie plays on.
  bool Restart(HANDLE endEvent) override;
  // Stops the graphs where they are: the movie's own position goes on after the device is back.
  void EndOnLostDevice() override;
  // Posts EndMessage when a step of a restart failed; the step's result.
  bool Succeeded(bool step) const;

  UniqueHandle movieFrame_;
  UniqueHandle videoFrame_;
  UniqueHandle movieEnded_;
  UniqueHandle mediaEnded_;
};
