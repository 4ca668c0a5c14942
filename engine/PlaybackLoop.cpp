#include "engine/FatalCheck.h"
#include "engine/PackedFramePlayback.h"
#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "media/PosterFrame.h"
#include "media/ShadowGraphProvider.h"
#include "render/PlaybackRenderer.h"
#include "settings/UmbraneConfig.h"

namespace {
constexpr DWORD kFirstVideoFrameMs = 5000;

RenderSettings RenderSettingsOf(const UmbraneConfig& config, bool preview) {
  RenderSettings settings;
  settings.foregroundAlpha = config.foregroundAlpha;
  settings.backgroundAlpha = config.backgroundAlpha;
  settings.frameEnabled = config.frameEnabled;
  settings.confineBgFilterToShadowGraph = config.confineBgFilterToShadowGraph;
  settings.magType = config.MagType;
  settings.preview = preview;
  return settings;
}
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

  const PixelSize silhouetteSize{static_cast<int32_t>(frameSource.width()), static_cast<int32_t>(frameSource.height())};
  if (!renderer.BuildResources(RenderSettingsOf(*config, preview), layout, silhouetteSize,
                               backgroundVideo.texture.get())) {
    return playback.EndPlayback();
  }
  if (!media.Run(-1, playbackThread->stopEvent())) return playback.EndPlayback();
  playback.LetRun();

  for (;;) {
    const PackedFramePlayback::Wake wake = playback.Wait();
    if (wake == PackedFramePlayback::Wake::Stop) return;
    if (wake != PackedFramePlayback::Wake::Draw) {
      if (!playback.Restart(wake)) return;
      continue;
    }

    HRESULT presented;
    bool newVideoFrame = false;
    {
      // No new video frame is presented from the start of the frame until it is on the screen.
      LockGuard mediaGuard(media);
      if (hasVideo) {
        const int64_t shown = backgroundVideo.time;
        media.CopyFrame(backgroundVideo);
        newVideoFrame = backgroundVideo.time != shown;
      }
      {
        LockGuard producerGuard(producer);
        renderer.DrawPackedScene(producer.silhouetteTexture(), producer.maskTexture());
        lastDrawnFrame = producer.currentFrame();
      }
      if (renderer.DrawViews() != S_OK) continue;  // the scene could not begin or end: skip the frame
      presented = renderer.Present();
    }
    if (presented == D3DERR_DEVICELOST) {
      // The graph's lock is free again: stopping the graph waits for its renderer's thread, which
      // may itself be waiting for that lock with a frame in hand.
      {
        LockGuard producerGuard(producer);
        resumePosition = producer.currentFrame();
      }
      if (config->bgmEnabled) media.Stop(0);
      return PostToEngineWindow(*this, DeviceLostMessage);
    }
    ++framesPresented;
    if (newVideoFrame) ++videoFramesDrawn;
  }
}

// The shadow movie comes with the video capture; until then its loop shows nothing and waits.
void UmbraneEngine::ShadowMovieLoop() { WaitAny({playbackThread->stopEvent()}); }
