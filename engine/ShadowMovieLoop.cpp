// The shadow-movie mode's playback thread: every frame of a video file becomes the silhouette,
// its darkness turned into the shadow's opacity by the compiled effect, over the desktop capture
// or the background video.
#include <memory>

#include "engine/base/FatalCheck.h"
#include "engine/PlaybackSettings.h"
#include "engine/ShadowMoviePlayback.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "media/PosterFrame.h"
#include "render/PlaybackRenderer.h"
#include "render/ShadowEffect.h"
#include "settings/UmbraneConfig.h"

void UmbraneEngine::ShadowMovieLoop() {
  // The newest frame of each graph; they outlive the renderer, whose views point at the
  // background's texture.
  PosterFrame movieFrame;
  PosterFrame backgroundVideo;
  PlaybackRenderer renderer(device.Get(), renderTarget.Get());
  FatalUnless(renderer.BuildStateBlocks(), "building the render-state blocks");

  ShadowMoviePlayback playback(*this);
  // D3DX's effect, else the device's own shaders; with neither the movie is drawn as it is, opaque.
  const std::unique_ptr<ShadowEffect> effect =
      ShadowEffect::Create(device.Get(), config->foregroundAlpha, config->backgroundAlpha);
  if (!effect) {
    movieDrawing = MovieDrawing::Opaque;
  } else {
    movieDrawing = effect->way() == ShadowEffect::Way::D3dx ? MovieDrawing::D3dxEffect : MovieDrawing::DeviceShaderEffect;
  }
  DShowFilterGraph& movie = *shadowGraph;
  DShowFilterGraph& media = *backgroundGraph;
  const bool bgm = config->bgmEnabled;
  HANDLE stop = playbackThread->stopEvent();
  renderer.ClearBackBuffer();

  if (!movie.Cue(stop) || (bgm && !media.Cue(stop))) return playback.EndPlayback();
  if (!playback.TakeFirstFrame(movie, playback.movieFrameEvent(), movieFrame)) return;
  const bool hasVideo = media.HasVideo();
  if (hasVideo && !playback.TakeFirstFrame(media, playback.videoFrameEvent(), backgroundVideo)) return;

  // The movie's own size is the silhouette's.
  const PixelSize silhouette{static_cast<int32_t>(movieFrame.texture->ContentWidth()),
                             static_cast<int32_t>(movieFrame.texture->ContentHeight())};
  if (!renderer.BuildResources(RenderSettingsOf(*config, preview), layout, silhouette, backgroundVideo.texture.get())) {
    return playback.EndPlayback();
  }
  if (!movie.Run(0) || (bgm && !media.Run(0))) return playback.EndPlayback();

  playback.Play([&] {
    // Under both graphs' locks: neither presents a new frame until this one is shown.
    const bool newVideoFrame = hasVideo && CopyNewFrame(media, backgroundVideo);
    const bool newMovieFrame = CopyNewFrame(movie, movieFrame);
    lastMovieFrameTime = movieFrame.time;
    renderer.DrawMovieScene(*movieFrame.texture, effect.get());
    return PresentFrame(*this, renderer, newVideoFrame, newMovieFrame);
  });
}
