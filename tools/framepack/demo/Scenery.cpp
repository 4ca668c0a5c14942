#include "tools/framepack/demo/Scenery.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {
constexpr float kPi = 3.14159265f;
constexpr float kWidth = 512, kHeight = 384;

// A fixed pseudo-random sequence, so every run draws the same tree.
float Jitter(uint32_t seed) {
  seed = seed * 747796405u + 2891336453u;
  seed = ((seed >> ((seed >> 28) + 4)) ^ seed) * 277803737u;
  seed = (seed >> 22) ^ seed;
  return (seed & 0xFFFF) / 65535.0f;  // 0..1
}

Vec2 Direction(float angle) { return {std::sin(angle), -std::cos(angle)}; }  // 0 = straight up

void Branch(Canvas& canvas, Vec2 base, float angle, float length, float radius, int depth, uint32_t id, float t) {
  const float sway = 0.018f * (6 - depth) * LoopWave(t, 7, depth * 0.8f + Jitter(id) * 0.5f);
  angle += sway;
  const Vec2 tip = base + Direction(angle) * length;
  canvas.Capsule(base, tip, radius, radius * 0.7f);
  if (depth == 0) {
    // A clump of leaves, fluttering a little faster than the branches sway.
    for (int leaf = 0; leaf < 3; ++leaf) {
      const float a = angle + (leaf - 1) * 0.9f + 0.15f * LoopWave(t, 21, id * 0.3f + leaf);
      canvas.Ellipse(tip + Direction(a) * 5.0f, 6.0f, 2.8f, a + kPi / 2);
    }
    return;
  }
  const int children = depth > 3 ? 2 : 2 + int(Jitter(id * 7 + 1) * 1.6f);
  for (int c = 0; c < children; ++c) {
    const float spread = children == 2 ? (c == 0 ? -0.46f : 0.46f) : (c - 1) * 0.55f;
    // Branches lean back toward the vertical, so the crown stays round instead of splaying.
    const float turn = spread - angle * 0.25f + (Jitter(id * 13 + c) - 0.5f) * 0.35f;
    const float shorten = 0.68f + Jitter(id * 31 + c) * 0.12f;
    Branch(canvas, tip, angle + turn, length * shorten, radius * 0.68f, depth - 1, id * 4 + c + 1, t);
  }
}

void DrawMoon(Canvas& canvas) {
  canvas.Circle({118, 74}, 25);
  canvas.EraseCircle({129, 66}, 22);
}

// A stone lantern: base, post, fire box with its window, roof and finial.
void DrawLantern(Canvas& canvas) {
  const float x = 56, g = GroundY(x) + 2;
  canvas.Polygon({{x - 17, g}, {x + 17, g}, {x + 13, g - 7}, {x - 13, g - 7}});
  canvas.Polygon({{x - 5.5f, g - 7}, {x + 5.5f, g - 7}, {x + 4.5f, g - 40}, {x - 4.5f, g - 40}});
  canvas.Polygon({{x - 14, g - 40}, {x + 14, g - 40}, {x + 12, g - 45}, {x - 12, g - 45}});
  canvas.Polygon({{x - 10, g - 45}, {x + 10, g - 45}, {x + 10, g - 63}, {x - 10, g - 63}});
  canvas.Polygon({{x - 5.5f, g - 48}, {x + 5.5f, g - 48}, {x + 5.5f, g - 60}, {x - 5.5f, g - 60}}, true);
  canvas.Polygon(
      {{x - 23, g - 62}, {x - 10, g - 70}, {x + 10, g - 70}, {x + 23, g - 62}, {x + 21, g - 60}, {x - 21, g - 60}});
  canvas.Polygon({{x - 8, g - 70}, {x + 8, g - 70}, {x + 3, g - 76}, {x - 3, g - 76}});
  canvas.Circle({x, g - 79}, 3.5f);
}
}  // namespace

float LoopWave(float t, int cycles, float phase) { return std::sin(2 * kPi * cycles * t / kLoopSeconds + phase); }

float GroundY(float x) { return 338 + 5 * std::sin(x * 0.011f + 0.6f) + 2.5f * std::sin(x * 0.029f + 2.1f); }

void DrawStillScenery(Canvas& canvas) {
  std::vector<Vec2> ground;
  for (float x = -8; x <= kWidth + 8; x += 4) ground.push_back({x, GroundY(x)});
  ground.push_back({kWidth + 8, kHeight + 8});
  ground.push_back({-8, kHeight + 8});
  canvas.Polygon(ground);
  DrawMoon(canvas);
  DrawLantern(canvas);
}

void DrawTree(Canvas& canvas, float t) {
  const float x = 420;
  const Vec2 root{x, GroundY(x) + 3};
  // Roots flare into the ground.
  canvas.Capsule(root, root + Vec2{-16, 2}, 5, 1.5f);
  canvas.Capsule(root, root + Vec2{15, 3}, 5, 1.5f);
  Branch(canvas, root, 0.04f, 80, 9.5f, 5, 1, t);
}

void DrawGrass(Canvas& canvas, float t) {
  for (int tuft = 0; tuft < 24; ++tuft) {
    const float x = 8 + tuft * 21.5f + Jitter(tuft + 900) * 9;
    const Vec2 base{x, GroundY(x) + 2};
    for (int blade = 0; blade < 3; ++blade) {
      const float height = 7 + Jitter(tuft * 3 + blade + 500) * 8;
      const float lean = (blade - 1) * 0.35f + 0.18f * LoopWave(t, 12, x * 0.045f);
      canvas.Capsule(base + Vec2{(blade - 1) * 2.0f, 0}, base + Direction(lean) * height, 1.6f, 0.3f);
    }
  }
}

void DrawBirds(Canvas& canvas, float t) {
  // A flock of three crosses from right to left three times per loop.
  const float period = kLoopSeconds / 3;
  for (int bird = 0; bird < 3; ++bird) {
    float u = std::fmod(t / period + 13.38f / period, 1.0f);
    const float x = 600 - 720 * u + bird * 24 + (bird == 1 ? -8 : 0);
    const float y = 60 + bird * 11 + 5 * std::sin(u * 4 * kPi + bird);
    if (x < -30 || x > kWidth + 30) continue;
    const float flap = LoopWave(t, 120 + bird * 3, bird * 1.7f);
    const Vec2 body{x, y};
    canvas.Ellipse(body, 6, 2.2f, 0.1f);
    canvas.Circle(body + Vec2{-6, -1}, 2.2f);
    canvas.Capsule(body + Vec2{-6.5f, -1}, body + Vec2{-10, 0}, 1, 0.3f);  // beak
    canvas.Capsule(body + Vec2{5, 0}, body + Vec2{10, 1.5f}, 1.5f, 0.5f);  // tail
    const Vec2 wingTip{2 + 3 * flap, -12 * flap};
    const Vec2 elbow{-1 + 1.5f * flap, -6 * flap - 2};
    canvas.Capsule(body, body + elbow, 2.2f, 1.4f);
    canvas.Capsule(body + elbow, body + wingTip + Vec2{4, 0}, 1.4f, 0.4f);
  }
}

void DrawFallingLeaves(Canvas& canvas, float t) {
  const float period = kLoopSeconds / 6;
  for (int leaf = 0; leaf < 3; ++leaf) {
    const float u = std::fmod(t / period + leaf / 3.0f, 1.0f);
    const float fall = u / 0.8f;  // the last fifth of the period the leaf lies hidden in the ground
    if (fall >= 1) continue;
    const float startX = 395 + leaf * 30;
    const float x = startX - 70 * fall + 12 * std::sin(fall * 3 * kPi + leaf);
    const float y = 150 + leaf * 12 + (GroundY(x) - 150 - leaf * 12) * fall;
    canvas.Ellipse({x, y}, 4.5f, 2, fall * 14 + leaf);
  }
}
