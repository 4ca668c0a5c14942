#pragma once
// The project's own default animation: a shadow-play scene, 512 x 384, 42 seconds at 30 frames
// per second, looping. The same bytes on every run.
#include <cstdint>
#include <vector>

#include "tools/framepack/demo/Canvas.h"

constexpr int kDemoWidth = 512;
constexpr int kDemoHeight = 384;
constexpr int kDemoFrames = 1260;  // 42 s at 30 fps

class DemoAnimation {
 public:
  DemoAnimation();
  // Frame n as grey bytes, top row first.
  void RenderFrame(int n, uint8_t* pixels);

 private:
  const Canvas& TreeAt(int n);

  Canvas still_;
  Canvas frame_;
  // The tree repeats every kTreeFrames frames (its sway and flutter both fit a whole number of
  // times), so each of its poses is drawn once.
  std::vector<Canvas> trees_;
  std::vector<bool> treeDrawn_;
};
