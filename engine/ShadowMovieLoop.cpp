// The shadow-movie mode's playback thread: every frame of a video file becomes the silhouette,
// its darkness turned into the shadow's opacity by the compiled effect, over the desktop capture
// or the background video.
#include <memory>

#include "base/FatalCheck.h"
#include "engine/PlaybackModes.h"
#include "engine/PlaybackSkeleton.h"
#include "engine/RegisteredMessages.h"
#include "media/DShowFilterGraph.h"
#include "media/PosterFrame.h"
#include "render/PlaybackRenderer.h"
#include "render/ShadowEffect.h"

namespace {
// The shadow-movie body's variation of the playback skeleton: two graphs (the shadow movie, whose
// frames are the silhouette, and the background media), a video-frame and a media-ended event for
// each, no producer and no clock: the movie's own playback paces the frames. Each frame is drawn
// with both graphs locked, the background graph first.
class ShadowMoviePlayback : public PlaybackSkeleton {
 public:
  // Creates the four events and hands them to the two graphs.
  explicit ShadowMoviePlayback(const PlaybackContext& context)
      : PlaybackSkeleton(context),
        movie_(*context.shadowGraph),
        media_(context.backgroundGraph),
        movieFrame_(CreateEventOrDie(false, false)),
        videoFrame_(CreateEventOrDie(false, false)),
        movieEnded_(CreateEventOrDie(false, false)),
        mediaEnded_(CreateEventOrDie(false, false)) {
    movie_.SetFrameEvent(movieFrame_.get());
    movie_.SetCompletionEvent(movieEnded_.get());
    media_.SetFrameEvent(videoFrame_.get());
    media_.SetCompletionEvent(mediaEnded_.get());
    SetEvents({movieFrame_.get(), videoFrame_.get()}, {movieEnded_.get(), mediaEnded_.get()}, {&media_, &movie_},
              mediaEnded_.get());
  }
  ~ShadowMoviePlayback() override {
    // The graphs outlive this object: they must not signal events that are about to be closed.
    movie_.SetFrameEvent(nullptr);
    media_.SetFrameEvent(nullptr);
  }

  DShowFilterGraph& movie() { return movie_; }
  DShowFilterGraph& media() { return media_; }
  HANDLE movieFrameEvent() const { return movieFrame_.get(); }
  HANDLE videoFrameEvent() const { return videoFrame_.get(); }

 private:
  // The movie ended: it restarts, and the background media with it. The media ended: it restarts
  // alone while the movie plays on.
  bool Restart(HANDLE endEvent) override {
    const bool bgm = context_.bgmEnabled;
    const bool movieEnded = endEvent == movieEnded_.get();
    ++context_.statistics.restarts;
    ++(movieEnded ? context_.statistics.movieRestarts : context_.statistics.mediaRestarts);

    // Every wait on a graph also ends on a stop request (then no failure is reported).
    if (bgm) media_.Stop(-1, stopEvent());
    if (StopRequested()) return false;
    if (movieEnded) {
      ResetEventOrDie(movieFrame_.get());
      if (!Succeeded(movie_.Rewind()) || !Succeeded(movie_.Cue(stopEvent()))) return false;
    }
    ResetEventOrDie(videoFrame_.get());
    // Background media that cannot start again (its output device has gone) stays still until its
    // next restart; the movie goes on regardless.
    const bool mediaCued = bgm && media_.Rewind() && media_.Cue(stopEvent());
    if (StopRequested()) return false;
    if (movieEnded && WaitForEvent(movieFrame_.get(), kVideoFrameAfterRestartMs) == EventWait::Stopped) return false;
    if (mediaCued && media_.HasVideo() &&
        WaitForEvent(videoFrame_.get(), kVideoFrameAfterRestartMs) == EventWait::Stopped) {
      return false;
    }
    if (!Succeeded(movie_.Run(0))) return false;
    if (mediaCued) media_.Run(0);
    return true;
  }

  // Stops the graphs where they are: the movie's own position goes on after the device is back.
  void EndOnLostDevice() override {
    movie_.Stop(0);
    if (context_.bgmEnabled) media_.Stop(0);
    PostToWindow(DeviceLostMessage);
  }

  // Posts EndMessage when a step of a restart failed; the step's result.
  bool Succeeded(bool step) const {
    if (!step) EndPlayback();
    return step;
  }

  DShowFilterGraph& movie_;
  DShowFilterGraph& media_;
  UniqueHandle movieFrame_;
  UniqueHandle videoFrame_;
  UniqueHandle movieEnded_;
  UniqueHandle mediaEnded_;
};

PlaybackStatistics::MovieDrawing DrawingBy(const ShadowEffect* effect) {
  if (!effect) return PlaybackStatistics::MovieDrawing::Opaque;
  return effect->way() == ShadowEffect::Way::D3dx ? PlaybackStatistics::MovieDrawing::D3dxEffect
                                                  : PlaybackStatistics::MovieDrawing::DeviceShaderEffect;
}
}  // namespace

void ShadowMovieLoop(const PlaybackContext& context) {
  // The newest frame of each graph; they outlive the renderer, whose views point at the
  // background's texture.
  PosterFrame movieFrame;
  PosterFrame backgroundVideo;
  PlaybackRenderer renderer(context.device, context.backBuffer);
  FatalUnless(renderer.BuildStateBlocks(), "building the render-state blocks");

  ShadowMoviePlayback playback(context);
  // D3DX's effect, else the device's own shaders; with neither the movie is drawn as it is, opaque.
  const RenderSettings& settings = context.renderSettings;
  const std::unique_ptr<ShadowEffect> effect =
      ShadowEffect::Create(context.device, settings.foregroundAlpha, settings.backgroundAlpha);
  context.statistics.movieDrawing = DrawingBy(effect.get());
  DShowFilterGraph& movie = playback.movie();
  DShowFilterGraph& media = playback.media();
  const bool bgm = context.bgmEnabled;
  HANDLE stop = context.stopEvent;
  renderer.ClearBackBuffer();

  if (!movie.Cue(stop) || (bgm && !media.Cue(stop))) return playback.EndPlayback();
  if (!playback.TakeFirstFrame(movie, playback.movieFrameEvent(), movieFrame)) return;
  const bool hasVideo = media.HasVideo();
  if (hasVideo && !playback.TakeFirstFrame(media, playback.videoFrameEvent(), backgroundVideo)) return;

  // The movie's own size is the silhouette's.
  const PixelSize silhouette{static_cast<int32_t>(movieFrame.texture->contentWidth()),
                             static_cast<int32_t>(movieFrame.texture->contentHeight())};
  if (!renderer.BuildResources(settings, context.layout, silhouette, backgroundVideo.texture.get())) {
    return playback.EndPlayback();
  }
  if (!movie.Run(0) || (bgm && !media.Run(0))) return playback.EndPlayback();

  playback.Play([&] {
    // Under both graphs' locks: neither presents a new frame until this one is shown.
    const bool newVideoFrame = hasVideo && CopyNewFrame(media, backgroundVideo);
    const bool newMovieFrame = CopyNewFrame(movie, movieFrame);
    context.statistics.lastMovieFrameTime = movieFrame.time;
    renderer.DrawMovieScene(*movieFrame.texture, effect.get());
    return PresentFrame(context.statistics, renderer, newVideoFrame, newMovieFrame);
  });
}
