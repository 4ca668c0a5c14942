#include "tools/framepack/demo/DemoAnimation.h"

#include "tools/framepack/demo/Scenery.h"
#include "tools/framepack/demo/Story.h"

namespace {
// Edges ramp over a pixel and a half: soft like a shadow on paper, still crisp at full size.
constexpr float kEdge = 1.5f;
// 6 s: seven sways (and 21 flutters) per loop.
constexpr int kTreeFrames = kDemoFrames / 7;
}  // namespace

DemoAnimation::DemoAnimation() : still_(kDemoWidth, kDemoHeight, kEdge), frame_(kDemoWidth, kDemoHeight, kEdge) {
  DrawStillScenery(still_);
  trees_.assign(kTreeFrames, Canvas(kDemoWidth, kDemoHeight, kEdge));
  treeDrawn_.assign(kTreeFrames, false);
}

const Canvas& DemoAnimation::TreeAt(int n) {
  const int pose = n % kTreeFrames;
  if (!treeDrawn_[pose]) {
    DrawTree(trees_[pose], pose / 30.0f);
    treeDrawn_[pose] = true;
  }
  return trees_[pose];
}

void DemoAnimation::RenderFrame(int n, uint8_t* pixels) {
  const float t = n / 30.0f;
  frame_.CopyFrom(still_);
  frame_.UnionWith(TreeAt(n));
  DrawGrass(frame_, t);
  DrawFallingLeaves(frame_, t);
  DrawBirds(frame_, t);
  const StoryMoment moment = StoryAt(t);
  DrawGirl(frame_, moment.girl);
  DrawDog(frame_, moment.dog);
  frame_.Circle(moment.ball, 4.5f);
  frame_.WriteGrey(pixels);
}
