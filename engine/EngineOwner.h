#pragma once
// A host window's hold on its engine. The engine's start-up can run a modal loop (the warning that
// a shadow movie has no video is a message box shown during the window's WM_CREATE), and that loop
// dispatches whatever arrives, the window's destruction included: in the preview pane the pane
// going away destroys the saver's window. The engine must not be deleted while its own start-up
// is still running on it, so a release asked for meanwhile is carried out once the start-up has
// returned.
#include <windows.h>

#include <memory>

#include "engine/PlaybackStart.h"

class UmbraneEngine;

class EngineOwner {
 public:
  EngineOwner();
  ~EngineOwner();
  EngineOwner(const EngineOwner&) = delete;
  EngineOwner& operator=(const EngineOwner&) = delete;

  // Replaces the engine with a new one and runs its start-up for the window. False when the
  // start-up failed (the engine stays, with its errorText, until Release), or when the window was
  // destroyed while it ran (the engine is gone then).
  bool Start(HWND window, bool preview, PlaybackStart start);
  // The window is being destroyed: the engine is deleted now, or, during its start-up, right
  // after it.
  void Release();

  UmbraneEngine* get() const { return engine_.get(); }
  UmbraneEngine* operator->() const { return engine_.get(); }

 private:
  std::unique_ptr<UmbraneEngine> engine_;
  bool starting_ = false;
  bool releaseRequested_ = false;
};
