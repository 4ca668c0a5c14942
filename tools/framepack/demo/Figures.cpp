#include "tools/framepack/demo/Figures.h"

#include <algorithm>
#include <cmath>

#include "tools/framepack/demo/Scenery.h"

namespace {
constexpr float kPi = 3.14159265f;

// A point of a figure in its own frame: forward, to its side, up from the ground.
struct Body {
  float fwd, side, up;
};
Body operator+(Body a, Body b) { return {a.fwd + b.fwd, a.side + b.side, a.up + b.up}; }
Body Scaled(Body a, float s) { return {a.fwd * s, a.side * s, a.up * s}; }

// In the plane of forward and up: angle 0 points down, positive swings forward.
Body Swing(float angle, float length) { return {std::sin(angle) * length, 0, -std::cos(angle) * length}; }

class Stage {
 public:
  Stage(float x, float facing, float lift = 0)
      : x_(x), ground_(GroundY(x) - lift), cos_(std::cos(facing)), sin_(std::sin(facing)) {}
  Vec2 operator()(Body p) const { return {x_ + p.fwd * cos_ + p.side * sin_, ground_ - p.up}; }

 private:
  float x_, ground_, cos_, sin_;
};

struct GirlSkeleton {
  Body hip, waist, shoulder, head, hem;
  Body knee[2], ankle[2], elbow[2], hand[2], shoulderJoint[2];
  float lean;
};

constexpr float kThigh = 25, kShin = 24, kTorso = 33, kUpperArm = 16, kForearm = 15;

GirlSkeleton PoseGirl(const GirlPose& pose) {
  GirlSkeleton s{};
  s.lean = pose.lean;
  // Legs in the hip's frame; the lowest ankle then stands on the ground.
  float lowest = 0;
  for (int leg = 0; leg < 2; ++leg) {
    const float phase = pose.stride + leg * kPi;
    const float thigh = pose.walk * 0.42f * std::sin(phase) + pose.crouch * 1.15f;
    const float knee = pose.walk * (0.15f + 0.45f * std::max(0.0f, std::sin(phase + 1.9f))) + pose.crouch * 2.1f;
    s.knee[leg] = Body{0, leg ? -3.5f : 3.5f, 0} + Swing(thigh, kThigh);
    s.ankle[leg] = s.knee[leg] + Swing(thigh - knee, kShin);
    lowest = std::min(lowest, s.ankle[leg].up);
  }
  const float hipHeight = -lowest + 2.5f;
  s.hip = {0, 0, hipHeight};
  for (int leg = 0; leg < 2; ++leg) {
    s.knee[leg] = s.knee[leg] + s.hip;
    s.ankle[leg] = s.ankle[leg] + s.hip;
  }
  const Body spine{std::sin(pose.lean), 0, std::cos(pose.lean)};
  s.waist = s.hip + Scaled(spine, 9);
  s.shoulder = s.hip + Scaled(spine, kTorso);
  const float neck = pose.lean - pose.lookUp * 0.6f;
  s.head = s.shoulder + Body{std::sin(neck) * 13, 0, std::cos(neck) * 13};
  s.hem = s.hip + Body{pose.lean * 9 + pose.walk * 2.5f * std::sin(2 * pose.stride), 0, -19 + pose.crouch * 6};

  for (int arm = 0; arm < 2; ++arm) {
    s.shoulderJoint[arm] = s.shoulder + Body{0, arm ? -6.5f : 6.5f, -2};
    float swing = -pose.walk * 0.45f * std::sin(pose.stride + arm * kPi) + pose.lean;
    float bend = 0.35f, raise = 0;
    if (arm == 0) {
      swing += (pose.reach + pose.lean - swing) * pose.action;
      bend += (pose.reachBend - bend) * pose.action;
      raise = pose.raise * pose.action;
    }
    const float out = std::sin(raise), along = std::cos(raise);
    const Body upper{std::sin(swing) * along * kUpperArm, out * kUpperArm, -std::cos(swing) * along * kUpperArm};
    s.elbow[arm] = s.shoulderJoint[arm] + upper;
    const float lift = raise + (raise > 0.01f ? bend : 0);
    const float fore = raise > 0.01f ? swing : swing + bend;
    const Body lower{std::sin(fore) * std::cos(lift) * kForearm, std::sin(lift) * kForearm,
                     -std::cos(fore) * std::cos(lift) * kForearm};
    s.hand[arm] = s.elbow[arm] + lower;
  }
  return s;
}

}  // namespace

Vec2 GirlHand(const GirlPose& pose) {
  const GirlSkeleton s = PoseGirl(pose);
  return Stage(pose.x, pose.facing)(s.hand[0]);
}

void DrawGirl(Canvas& canvas, const GirlPose& pose) {
  const GirlSkeleton s = PoseGirl(pose);
  const Stage at(pose.x, pose.facing);
  for (int leg = 0; leg < 2; ++leg) {
    const Body hipJoint = s.hip + Body{0, leg ? -3.5f : 3.5f, 0};
    canvas.Capsule(at(hipJoint), at(s.knee[leg]), 4.5f, 3.4f);
    canvas.Capsule(at(s.knee[leg]), at(s.ankle[leg]), 3.4f, 2.4f);
    canvas.Capsule(at(s.ankle[leg]), at(s.ankle[leg] + Body{7, 0, -1}), 2.6f, 2.0f);
  }
  // The dress is round, so its width does not change as she turns.
  const Vec2 waist = at(s.waist), hem = at(s.hem);
  const float flare = 15 + pose.walk * 2;
  canvas.Polygon({{waist.x - 6.5f, waist.y - 3},
                  {waist.x + 6.5f, waist.y - 3},
                  {hem.x + flare, hem.y},
                  {hem.x + flare * 0.5f, hem.y + 2.5f},
                  {hem.x - flare * 0.5f, hem.y + 2.5f},
                  {hem.x - flare, hem.y}});
  canvas.Capsule(at(s.hip + Body{0, 0, 6}), at(s.shoulder), 6, 7);
  canvas.Capsule(at(s.shoulder), at(s.head), 3.5f, 3.5f);
  canvas.Circle(at(s.head), 10);
  // Profile: nose and chin forward, hair tied back with a bow.
  const float tilt = s.lean - pose.lookUp * 0.6f;
  auto onHead = [&](float fwd, float up) {
    return s.head + Body{fwd * std::cos(tilt) + up * std::sin(tilt), 0, -fwd * std::sin(tilt) + up * std::cos(tilt)};
  };
  canvas.Circle(at(onHead(9.5f, -1)), 2.4f);
  canvas.Circle(at(onHead(7, -6)), 3.2f);
  const float swingHair = pose.walk * 2.5f * std::sin(2 * pose.stride + 1);
  canvas.Capsule(at(onHead(-8, 4)), at(onHead(-16 - swingHair * 0.3f, -9 + swingHair)), 4.2f, 1.8f);
  canvas.Circle(at(onHead(-9, 8) + Body{0, 3, 0}), 3.3f);
  canvas.Circle(at(onHead(-9, 8) + Body{0, -3, 0}), 3.3f);
  for (int arm = 0; arm < 2; ++arm) {
    canvas.Capsule(at(s.shoulderJoint[arm]), at(s.elbow[arm]), 3.3f, 2.7f);
    canvas.Capsule(at(s.elbow[arm]), at(s.hand[arm]), 2.7f, 2.2f);
    canvas.Circle(at(s.hand[arm]), 2.9f);
  }
}

namespace {
struct DogSkeleton {
  Body rear, chest, head, snout, mouth;
  float lift;
};

// Rotates a body point about the dog's middle, nose up for positive pitch.
Body Pitched(Body p, float pitch) {
  const float cx = 0, cy = 27;
  const float dx = p.fwd - cx, dy = p.up - cy, c = std::cos(pitch), s = std::sin(pitch);
  return {cx + dx * c - dy * s, p.side, cy + dx * s + dy * c};
}

DogSkeleton PoseDog(const DogPose& pose) {
  DogSkeleton s{};
  s.lift = pose.hop;
  s.rear = Pitched({-14, 0, 27}, pose.pitch);
  s.chest = Pitched({12, 0, 29}, pose.pitch);
  const float down = pose.headDown;
  s.head = Pitched({23 + 4 * down, 0, 43 - 27 * down}, pose.pitch);
  s.snout = s.head + Body{10, 0, -3 - 3 * down};
  s.mouth = s.head + Body{11, 0, -6 - 2 * down};
  return s;
}
}  // namespace

Vec2 DogMouth(const DogPose& pose) {
  const DogSkeleton s = PoseDog(pose);
  return Stage(pose.x, pose.facing, s.lift)(s.mouth);
}

void DrawDog(Canvas& canvas, const DogPose& pose) {
  const DogSkeleton s = PoseDog(pose);
  const Stage at(pose.x, pose.facing, s.lift);
  canvas.Capsule(at(s.rear), at(s.chest), 8, 9.5f);
  canvas.Capsule(at(s.chest + Body{2, 0, 2}), at(s.head), 5.5f, 5);
  canvas.Circle(at(s.head), 7.2f);
  canvas.Capsule(at(s.head), at(s.snout), 4.6f, 3);
  canvas.Circle(at(s.snout + Body{1, 0, 0.5f}), 2.2f);  // nose
  for (int ear = 0; ear < 2; ++ear) {
    const float side = ear ? -3.0f : 3.0f;
    canvas.Capsule(at(s.head + Body{-2, side, 5}), at(s.head + Body{-5, side * 1.3f, 13}), 3.2f, 0.8f);
  }
  // Tail: up and wagging side to side (seen when he turns) and a little up and down.
  const Body tailBase = Pitched({-20, 0, 31}, pose.pitch);
  const Body tailMid = tailBase + Body{-7, 5 * pose.wag, 7 + 2 * pose.wag};
  const Body tailTip = tailMid + Body{-3, 7 * pose.wag, 9 + 1.5f * pose.wag};
  canvas.Capsule(at(tailBase), at(tailMid), 3, 2.2f);
  canvas.Capsule(at(tailMid), at(tailTip), 2.2f, 1);
  // Legs: diagonal pairs move together; in a leap the front ones reach and the hind ones push.
  const float leap = std::min(1.0f, pose.hop / 14);
  for (int leg = 0; leg < 4; ++leg) {
    const bool front = leg < 2;
    const float side = (leg % 2) ? -3.5f : 3.5f;
    const float phase = pose.gait + ((leg == 0 || leg == 3) ? 0 : kPi);
    float swing = pose.run * 0.6f * std::sin(phase) + leap * (front ? 0.9f : -0.8f);
    const float bend = front ? -0.25f - pose.run * 0.3f * std::max(0.0f, std::sin(phase + 1.5f))
                             : 0.35f + pose.run * 0.3f * std::max(0.0f, std::sin(phase - 1.5f));
    const Body top = Pitched({front ? 11.0f : -12.0f, side, 25}, pose.pitch);
    const Body knee = top + Swing(swing, 12);
    const Body paw = knee + Swing(swing + bend, 12);
    canvas.Capsule(at(top), at(knee), front ? 4 : 5, 2.8f);
    canvas.Capsule(at(knee), at(paw), 2.8f, 2.2f);
    canvas.Capsule(at(paw), at(paw + Body{3.5f, 0, 0}), 2.4f, 2.2f);
  }
}
