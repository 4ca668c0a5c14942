#include "engine/FatalCheck.h"
#include "engine/PackedFramePlayback.h"
#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
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
  PlaybackRenderer renderer(device.Get(), renderTarget.Get());
  FatalUnless(renderer.BuildStateBlocks(), "building the render-state blocks");

  PackedFramePlayback playback(*this);
  ShadowGraphProvider& producer = playback.producer();

  FatalUnless(SUCCEEDED(device->SetRenderTarget(0, renderTarget.Get())), "setting the back buffer");
  FatalUnless(SUCCEEDED(device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 0, 0, 0), 0.0f, 0)),
              "clearing the back buffer");

  if (!backgroundGraph->Cue()) return PostToEngineWindow(*this, EndMessage);
  if (backgroundGraph->HasVideo() && !playback.WaitForVideoFrame(kFirstVideoFrameMs)) {
    return PostToEngineWindow(*this, EndMessage);
  }
  producer.WaitUntilStarted();

  const PixelSize silhouetteSize{static_cast<int32_t>(frameSource.width()), static_cast<int32_t>(frameSource.height())};
  if (!renderer.BuildResources(RenderSettingsOf(*config, preview), layout, silhouetteSize, nullptr)) {
    return PostToEngineWindow(*this, EndMessage);
  }
  if (!backgroundGraph->Run(-1)) return PostToEngineWindow(*this, EndMessage);
  playback.LetRun();

  for (;;) {
    const PackedFramePlayback::Wake wake = playback.Wait();
    if (wake == PackedFramePlayback::Wake::Stop) return;
    if (wake != PackedFramePlayback::Wake::Draw) {
      if (!playback.Restart(wake)) return;
      continue;
    }

    LockGuard mediaGuard(*backgroundGraph);
    {
      LockGuard producerGuard(producer);
      renderer.DrawPackedScene(producer.silhouetteTexture(), producer.maskTexture());
      lastDrawnFrame = producer.currentFrame();
    }
    if (renderer.DrawViews() != S_OK) continue;  // the scene could not begin or end: skip the frame
    if (renderer.Present() == D3DERR_DEVICELOST) {
      {
        LockGuard producerGuard(producer);
        resumePosition = producer.currentFrame();
      }
      if (config->bgmEnabled) backgroundGraph->Stop(0);
      return PostToEngineWindow(*this, DeviceLostMessage);
    }
  }
}

// The shadow movie comes with the video capture; until then its loop shows nothing and waits.
void UmbraneEngine::ShadowMovieLoop() { WaitAny({playbackThread->stopEvent()}); }
