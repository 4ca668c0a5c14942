#pragma once
// The stage of the default animation: ground, moon, stone lantern, a tree, grass, birds and
// falling leaves. Everything that moves repeats a whole number of times per loop, so the last
// frame leads into the first.
#include "tools/framepack/demo/Canvas.h"

constexpr float kLoopSeconds = 42.0f;

float GroundY(float x);

// Parts that never move, drawn once and copied into every frame.
void DrawStillScenery(Canvas& canvas);
void DrawTree(Canvas& canvas, float t);
void DrawGrass(Canvas& canvas, float t);
void DrawBirds(Canvas& canvas, float t);
void DrawFallingLeaves(Canvas& canvas, float t);

// sin of a motion that completes `cycles` whole turns per loop.
float LoopWave(float t, int cycles, float phase);
