#include "engine/FatalCheck.h"
#include "engine/PackedFramePlayback.h"
#include "engine/PlaybackSettings.h"
#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "media/PosterFrame.h"
#include "media/ShadowGraphProvider.h"
#include "render/PlaybackRenderer.h"
#include "settings/UmbraneConfig.h"

namespace {
constexpr DWORD kFirstVideoFrameMs = 5000;
}  // namespace

void UmbraneEngine::PlaybackLoop() {
  // The background movie's newest frame: every view's background when the movie has video. It
  // outlives the renderer, whose views point at its texture.
  PosterFrame backgroundVideo;
  PlaybackRenderer renderer(device.Get(), renderTarget.Get());
  FatalUnless(renderer.BuildStateBlocks(), "building the render-state blocks");

  PackedFramePlayback playback(*this);
  ShadowGraphProvider& producer = playback.producer();
  DShowFilterGraph& media = *backgroundGraph;

  FatalUnless(SUCCEEDED(device->SetRenderTarget(0, renderTarget.Get())), "setting the back buffer");
  FatalUnless(SUCCEEDED(device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 0, 0, 0), 0.0f, 0)),
              "clearing the back buffer");

  if (!media.Cue(playbackThread->stopEvent())) return playback.EndPlayback();
  const bool hasVideo = media.HasVideo();
  if (hasVideo) {
    const PackedFramePlayback::VideoWait first = playback.WaitForVideoFrame(kFirstVideoFrameMs);
    if (first == PackedFramePlayback::VideoWait::Stopped) return;
    if (first == PackedFramePlayback::VideoWait::TimedOut) return playback.EndPlayback();
    LockGuard mediaGuard(media);
    if (!media.CopyFrame(backgroundVideo) || !backgroundVideo.texture) return playback.EndPlayback();
  }
  producer.WaitUntilStarted();

  if (!renderer.BuildResources(RenderSettingsOf(*config, preview), layout, SilhouetteSizeOf(frameSource),
                               backgroundVideo.texture.get())) {
    return playback.EndPlayback();
  }
  if (!media.Run(-1, playbackThread->stopEvent())) return playback.EndPlayback();
  playback.LetRun();

  playback.Play([&] {
    // Under the background graph's lock: no new video frame is presented until this one is shown.
    bool newVideoFrame = false;
    if (hasVideo) {
      const int64_t shown = backgroundVideo.time;
      media.CopyFrame(backgroundVideo);
      newVideoFrame = backgroundVideo.time != shown;
    }
    playback.ComposeScene(renderer);
    // A scene that could not begin or end skips the frame.
    if (renderer.DrawViews() != S_OK) return PackedFramePlayback::FrameResult::Drawn;
    if (renderer.Present() == D3DERR_DEVICELOST) return PackedFramePlayback::FrameResult::DeviceLost;
    ++framesPresented;
    if (newVideoFrame) ++videoFramesDrawn;
    return PackedFramePlayback::FrameResult::Drawn;
  });
}

// The shadow movie comes with the video capture; until then its loop shows nothing and waits.
void UmbraneEngine::ShadowMovieLoop() { WaitAny({playbackThread->stopEvent()}); }
