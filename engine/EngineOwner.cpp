#include "engine/EngineOwner.h"

#include "engine/UmbraneEngine.h"

EngineOwner::EngineOwner() = default;
EngineOwner::~EngineOwner() = default;

bool EngineOwner::Start(HWND window, bool preview, PlaybackStart start) {
  engine_.reset();
  engine_ = std::make_unique<UmbraneEngine>();
  starting_ = true;
  releaseRequested_ = false;
  const bool started = engine_->Startup(window, preview, start);
  starting_ = false;
  if (releaseRequested_) {
    engine_.reset();
    return false;
  }
  return started;
}

void EngineOwner::Release() {
  if (starting_) {
    releaseRequested_ = true;
    return;
  }
  engine_.reset();
}
