// The layered-window mode's playback thread: packed frames drawn off-screen and read back into
// the frame surface, which the window thread hands to the window manager.
#include "engine/PackedFramePlayback.h"
#include "engine/PlaybackSettings.h"
#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "media/DShowFilterGraph.h"
#include "media/ShadowGraphProvider.h"
#include "render/LayeredRenderer.h"
#include "settings/UmbraneConfig.h"

void UmbraneEngine::LayeredLoop() {
  LayeredRenderer renderer(device.Get());
  PackedFramePlayback playback(*this);
  if (!renderer.BuildResources(RenderSettingsOf(*config, preview), layout, SilhouetteSizeOf(frameSource),
                               {layeredSize.cx, layeredSize.cy})) {
    return playback.EndPlayback();
  }
  // Only the background media's sound plays here: it is neither cued nor waited for, and its
  // picture is not drawn.
  if (config->bgmEnabled && !backgroundGraph->Run(0)) return playback.EndPlayback();
  playback.producer().WaitUntilStarted();
  playback.LetRun();

  playback.Play([&] {
    playback.ComposeScene(renderer);
    // A scene that could not begin or end skips the frame.
    if (renderer.DrawLayers() != S_OK) return PlaybackSkeleton::FrameResult::Drawn;
    HRESULT copied;
    {
      LockGuard frameGuard(frameLock);
      copied = renderer.CopyTo(frameSurface.Get());
    }
    if (copied == D3DERR_DEVICELOST) return PlaybackSkeleton::FrameResult::DeviceLost;
    SetEventOrDie(frameReadyEvent.get());
    return PlaybackSkeleton::FrameResult::Drawn;
  });
}
