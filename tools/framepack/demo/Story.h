#pragma once
// What happens in the default animation, second by second: a girl walks in with a ball, watches
// the birds, greets a dog that runs in, throws the ball for him twice (he fetches it, then catches
// it in a leap), waves, and the two walk off together, leaving the stage as it was at the start.
#include "tools/framepack/demo/Canvas.h"
#include "tools/framepack/demo/Figures.h"

struct StoryMoment {
  GirlPose girl;
  DogPose dog;
  Vec2 ball;
};

StoryMoment StoryAt(float t);
