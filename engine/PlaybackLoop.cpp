#include "engine/UmbraneEngine.h"

// Until the frame producer and the renderer are wired in, every body keeps the window black and
// waits to be stopped.
namespace {
void WaitForStop(Thread& thread) { WaitAny({thread.stopEvent()}); }
}  // namespace

void UmbraneEngine::PlaybackLoop() { WaitForStop(*playbackThread); }
void UmbraneEngine::ShadowMovieLoop() { WaitForStop(*playbackThread); }
void UmbraneEngine::LayeredLoop() { WaitForStop(*playbackThread); }
