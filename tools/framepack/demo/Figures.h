#pragma once
// The two players of the default animation, posed in three dimensions (forward, side, up) and
// projected onto the screen after a turn about the vertical axis: a figure that turns shows its
// profile, then its front, then its other profile, as a puppet turned in front of the lamp.
#include "tools/framepack/demo/Canvas.h"

struct GirlPose {
  float x = 0;
  float facing = 0;  // turn about the vertical axis: 0 faces right, pi faces left
  float stride = 0;  // walk-cycle phase, radians
  float walk = 0;    // 0 standing .. 1 full walk cycle
  float lean = 0;    // torso bent forward, radians
  float crouch = 0;  // 0 upright .. 1 knees deep
  float lookUp = 0;  // head tilted back, radians
  float reach = 0;   // acting arm: swing forward from hanging, radians
  float reachBend = 0.3f;
  float raise = 0;   // acting arm: lifted sideways, radians (a wave)
  float action = 0;  // 0: the arm swings with the walk .. 1: it follows reach and raise
};

struct DogPose {
  float x = 0;
  float facing = 0;
  float gait = 0;      // run-cycle phase, radians
  float run = 0;       // 0 standing .. 1 running
  float hop = 0;       // height above the ground
  float pitch = 0;     // body tilted nose-up, radians
  float wag = 0;       // tail swing
  float headDown = 0;  // 0 .. 1 (to the ground)
};

Vec2 GirlHand(const GirlPose& pose);
void DrawGirl(Canvas& canvas, const GirlPose& pose);

Vec2 DogMouth(const DogPose& pose);
void DrawDog(Canvas& canvas, const DogPose& pose);
