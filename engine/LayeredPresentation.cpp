#include "engine/UmbraneEngine.h"

// Layered-window output is not built yet: the layered loop draws nothing to hand over and waits.
void UmbraneEngine::StartLayered() {}
void UmbraneEngine::PresentLayered() {}
void UmbraneEngine::LayeredLoop() { WaitAny({playbackThread->stopEvent()}); }
