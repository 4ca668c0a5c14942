#include "engine/ShadowMoviePlayback.h"

#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "settings/UmbraneConfig.h"

namespace {
constexpr DWORD kVideoFrameAfterRestartMs = 1000;
}

ShadowMoviePlayback::ShadowMoviePlayback(UmbraneEngine& engine)
    : PlaybackSkeleton(engine),
      movieFrame_(CreateEventOrDie(false, false)),
      videoFrame_(CreateEventOrDie(false, false)),
      movieEnded_(CreateEventOrDie(false, false)),
      mediaEnded_(CreateEventOrDie(false, false)) {
  engine.shadowGraph->SetFrameEvent(movieFrame_.get());
  engine.shadowGraph->SetCompletionEvent(movieEnded_.get());
  engine.backgroundGraph->SetFrameEvent(videoFrame_.get());
  engine.backgroundGraph->SetCompletionEvent(mediaEnded_.get());
  SetEvents({movieFrame_.get(), videoFrame_.get()}, {movieEnded_.get(), mediaEnded_.get()},
            {engine.backgroundGraph.get(), engine.shadowGraph.get()}, mediaEnded_.get());
}

ShadowMoviePlayback::~ShadowMoviePlayback() {
  // The graphs outlive this object: they must not signal events that are about to be closed.
  engine_.shadowGraph->SetFrameEvent(nullptr);
  engine_.backgroundGraph->SetFrameEvent(nullptr);
}

bool ShadowMoviePlayback::Succeeded(bool step) const {
  if (!step) EndPlayback();
  return step;
}

bool ShadowMoviePlayback::Restart(HANDLE endEvent) {
  DShowFilterGraph& movie = *engine_.shadowGraph;
  DShowFilterGraph& media = *engine_.backgroundGraph;
  const bool bgm = engine_.config->bgmEnabled;
  const bool movieEnded = endEvent == movieEnded_.get();
  ++engine_.restarts;
  ++(movieEnded ? engine_.movieRestarts : engine_.mediaRestarts);

  // Every wait on a graph also ends on a stop request (then no failure is reported).
  if (bgm && !Succeeded(media.Stop(-1, stopEvent()))) return false;
  if (movieEnded) {
    ResetEventOrDie(movieFrame_.get());
    if (!Succeeded(movie.Rewind()) || !Succeeded(movie.Cue(stopEvent()))) return false;
  }
  ResetEventOrDie(videoFrame_.get());
  if (bgm && (!Succeeded(media.Rewind()) || !Succeeded(media.Cue(stopEvent())))) return false;
  // The first frames after the cue; late ones are not waited for longer.
  if (movieEnded && WaitForEvent(movieFrame_.get(), kVideoFrameAfterRestartMs) == EventWait::Stopped) return false;
  if (media.HasVideo() && WaitForEvent(videoFrame_.get(), kVideoFrameAfterRestartMs) == EventWait::Stopped) {
    return false;
  }
  return Succeeded(movie.Run(0)) && (!bgm || Succeeded(media.Run(0)));
}

void ShadowMoviePlayback::EndOnLostDevice() {
  engine_.shadowGraph->Stop(0);
  if (engine_.config->bgmEnabled) engine_.backgroundGraph->Stop(0);
  PostToEngineWindow(engine_, DeviceLostMessage);
}
