#include "engine/base/FatalCheck.h"
#include "engine/PackedFramePlayback.h"
#include "engine/PlaybackSettings.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "media/PosterFrame.h"
#include "media/ShadowGraphProvider.h"
#include "render/PlaybackRenderer.h"
#include "settings/UmbraneConfig.h"

void UmbraneEngine::PlaybackLoop() {
  // The background movie's newest frame: every view's background when the movie has video. It
  // outlives the renderer, whose views point at its texture.
  PosterFrame backgroundVideo;
  PlaybackRenderer renderer(device.Get(), renderTarget.Get());
  FatalUnless(renderer.BuildStateBlocks(), "building the render-state blocks");

  PackedFramePlayback playback(*this);
  ShadowGraphProvider& producer = playback.producer();
  DShowFilterGraph& media = *backgroundGraph;
  renderer.ClearBackBuffer();

  if (!media.Cue(playbackThread->stopEvent())) return playback.EndPlayback();
  const bool hasVideo = media.HasVideo();
  if (hasVideo && !playback.TakeFirstFrame(media, playback.videoFrameEvent(), backgroundVideo)) return;
  producer.WaitUntilStarted();

  if (!renderer.BuildResources(RenderSettingsOf(*config, preview), layout, SilhouetteSizeOf(frameSource),
                               backgroundVideo.texture.get())) {
    return playback.EndPlayback();
  }
  if (!media.Run(-1, playbackThread->stopEvent())) return playback.EndPlayback();
  playback.LetRun();

  playback.Play([&] {
    // Under the background graph's lock: no new video frame is presented until this one is shown.
    const bool newVideoFrame = hasVideo && CopyNewFrame(media, backgroundVideo);
    playback.ComposeScene(renderer);
    return PresentFrame(*this, renderer, newVideoFrame);
  });
}
