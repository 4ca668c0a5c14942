#include "engine/FatalCheck.h"
#include "engine/PackedFramePlayback.h"
#include "engine/PlaybackSettings.h"
#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "media/ShadowGraphProvider.h"
#include "render/PlaybackRenderer.h"
#include "settings/UmbraneConfig.h"

namespace {
constexpr DWORD kFirstVideoFrameMs = 5000;
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

  if (!renderer.BuildResources(RenderSettingsOf(*config, preview), layout, SilhouetteSizeOf(frameSource), nullptr)) {
    return PostToEngineWindow(*this, EndMessage);
  }
  if (!backgroundGraph->Run(-1)) return PostToEngineWindow(*this, EndMessage);
  playback.LetRun();

  playback.Play([&] {
    playback.ComposeScene(renderer);
    // A scene that could not begin or end skips the frame.
    if (renderer.DrawViews() != S_OK) return PackedFramePlayback::FrameResult::Drawn;
    return renderer.Present() == D3DERR_DEVICELOST ? PackedFramePlayback::FrameResult::DeviceLost
                                                   : PackedFramePlayback::FrameResult::Drawn;
  });
}

// The shadow movie comes with the video capture; until then its loop shows nothing and waits.
void UmbraneEngine::ShadowMovieLoop() { WaitAny({playbackThread->stopEvent()}); }
