#include "tools/framepack/demo/Story.h"

#include <algorithm>
#include <cmath>

#include "tools/framepack/demo/Scenery.h"
#include "tools/framepack/demo/Track.h"

namespace {
constexpr float kPi = 3.14159265f;
constexpr float kBallRadius = 4.5f;

// Linear position tracks: the walk and run cycles follow the distance travelled.
const std::vector<Key> kGirlX = {{0, -45}, {1.5f, -45}, {7.0f, 190}, {29.0f, 190}, {38.5f, 570}, {42, 570}};
const std::vector<Key> kDogX = {{0, 640},     {9.0f, 640},  {11.5f, 240}, {16.2f, 240}, {17.6f, 358},
                                {18.6f, 358}, {19.6f, 250}, {23.4f, 250}, {24.7f, 318}, {25.6f, 318},
                                {26.4f, 262}, {29.0f, 250}, {38.5f, 630}, {42, 640}};

const std::vector<Key> kGirlFacing = {{8.3f, 0},  {9.0f, kPi},      {9.6f, kPi},      {10.2f, 0},
                                      {26.6f, 0}, {27.2f, kPi / 2}, {28.4f, kPi / 2}, {29.0f, 0}};
const std::vector<Key> kGirlLookUp = {{7.0f, 0},  {7.6f, 0.5f},   {9.0f, 0.35f},  {9.6f, 0.1f},
                                      {10.2f, 0}, {15.8f, 0},     {16.2f, 0.25f}, {16.9f, 0},
                                      {23.2f, 0}, {23.7f, 0.45f}, {24.4f, 0.15f}, {25.0f, 0}};
const std::vector<Key> kGirlLean = {{12.6f, 0},    {13.2f, 0.7f},   {14.2f, 0.7f},  {14.8f, 0},    {15.0f, -0.1f},
                                    {15.6f, 0.2f}, {16.2f, 0},      {20.8f, 0},     {21.4f, 0.8f}, {21.7f, 0.8f},
                                    {22.2f, 0},    {22.6f, -0.15f}, {23.2f, 0.15f}, {23.7f, 0}};
const std::vector<Key> kGirlCrouch = {{12.6f, 0}, {13.2f, 0.3f},  {14.2f, 0.3f},  {14.8f, 0},
                                      {20.8f, 0}, {21.4f, 0.65f}, {21.7f, 0.65f}, {22.2f, 0}};
const std::vector<Key> kGirlAction = {{12.4f, 0}, {12.8f, 1}, {16.0f, 1}, {16.6f, 0}, {20.6f, 0}, {21.0f, 1},
                                      {23.6f, 1}, {24.2f, 0}, {26.9f, 0}, {27.3f, 1}, {28.3f, 1}, {28.8f, 0}};
const std::vector<Key> kGirlReach = {{12.8f, 0.2f},  {13.2f, 0.85f}, {14.2f, 0.85f}, {14.8f, 0.2f},   {15.3f, -2.3f},
                                     {15.5f, -2.3f}, {15.75f, 2.2f}, {16.2f, 0.6f},  {21.0f, 0.2f},   {21.4f, 0.45f},
                                     {21.7f, 0.45f}, {22.3f, 0.1f},  {22.8f, -2.5f}, {22.95f, -2.5f}, {23.15f, 2.5f},
                                     {23.6f, 0.5f},  {27.3f, 0},     {28.3f, 0}};
const std::vector<Key> kGirlRaise = {{27.0f, 0}, {27.4f, 1.9f}, {28.2f, 1.9f}, {28.6f, 0}};

const std::vector<Key> kDogFacing = {{15.7f, kPi}, {16.2f, 0}, {18.0f, 0},   {18.6f, kPi}, {22.9f, kPi},
                                     {23.4f, 0},   {25.0f, 0}, {25.6f, kPi}, {28.6f, kPi}, {29.1f, 0}};
const std::vector<Key> kDogHeadDown = {{17.5f, 0}, {17.8f, 1},  {18.0f, 0.1f}, {18.2f, 0},
                                       {19.6f, 0}, {19.85f, 1}, {20.1f, 0}};
const std::vector<Key> kDogWag = {{9.0f, 0.4f}, {11.5f, 0.4f}, {11.8f, 1},    {13.6f, 1}, {14.2f, 0.3f}, {19.9f, 0.3f},
                                  {20.2f, 1},   {21.2f, 0.4f}, {24.8f, 0.4f}, {25.2f, 1}, {28.8f, 1},    {29.4f, 0.5f}};

// Times at which the ball changes hands.
constexpr float kFirstThrow = 15.7f, kFirstLanding = 16.8f, kBounceEnd = 17.3f, kRestAfterBounce = 17.7f;
constexpr float kFetched = 17.8f, kDropped = 19.85f, kDropLanding = 20.1f, kPickedUp = 21.4f;
constexpr float kSecondThrow = 23.12f, kCaught = 24.3f;
constexpr float kDogLeapStart = 23.85f, kDogLeapEnd = 24.75f;

GirlPose GirlAt(float t) {
  GirlPose g;
  g.x = Linear(kGirlX, t);
  g.facing = Eased(kGirlFacing, t);
  g.stride = PathLength(kGirlX, t) / 46.0f * 2 * kPi;  // one full stride every 46 px
  g.walk = std::min(1.0f, SmoothedSpeed(kGirlX, t) / 40.0f);
  g.lean = Eased(kGirlLean, t);
  g.crouch = Eased(kGirlCrouch, t);
  g.lookUp = Eased(kGirlLookUp, t);
  g.action = Eased(kGirlAction, t);
  g.reach = Eased(kGirlReach, t);
  g.raise = Eased(kGirlRaise, t);
  // Patting the dog and waving: a small back-and-forth of the forearm.
  if (t > 13.2f && t < 14.2f) g.reach += 0.16f * std::sin((t - 13.2f) * 2 * kPi * 3);
  g.reachBend = t > 27.3f && t < 28.3f ? 0.85f + 0.45f * std::sin((t - 27.3f) * 2 * kPi * 2.5f) : 0.3f;
  return g;
}

DogPose DogAt(float t) {
  DogPose d;
  d.x = Linear(kDogX, t);
  d.facing = Eased(kDogFacing, t);
  const float speed = SmoothedSpeed(kDogX, t);
  d.gait = PathLength(kDogX, t) / 52.0f * 2 * kPi;
  d.run = std::min(1.0f, speed / 70.0f);
  d.hop = Bump(t, 11.8f, 12.15f, 13) + Bump(t, 12.35f, 12.7f, 13) + Bump(t, 20.25f, 20.55f, 10) +
          Bump(t, kDogLeapStart, kDogLeapEnd, 58);
  if (t > kDogLeapStart && t < kDogLeapEnd) {
    d.pitch = 0.5f * std::cos(kPi * (t - kDogLeapStart) / (kDogLeapEnd - kDogLeapStart));
  }
  d.headDown = Eased(kDogHeadDown, t);
  d.wag = Eased(kDogWag, t) * LoopWave(t, 210, 0);  // five wags a second
  return d;
}

// A thrown ball under gravity from `from` at t0 to `to` at t1 (screen y grows downwards).
Vec2 Flight(Vec2 from, Vec2 to, float t0, float t1, float t, float gravity = 420) {
  const float u = t - t0, span = t1 - t0;
  const float vy = (to.y - from.y - 0.5f * gravity * span * span) / span;
  return {from.x + (to.x - from.x) * u / span, from.y + vy * u + 0.5f * gravity * u * u};
}

Vec2 OnGround(float x) { return {x, GroundY(x) - kBallRadius + 1}; }

Vec2 InMouth(float t) { return DogMouth(DogAt(t)) + Vec2{0, 1.5f}; }

Vec2 BallAt(float t, const StoryMoment& now) {
  if (t < kFirstThrow) return GirlHand(now.girl);
  if (t < kFirstLanding) return Flight(GirlHand(GirlAt(kFirstThrow)), OnGround(360), kFirstThrow, kFirstLanding, t);
  if (t < kBounceEnd) return Flight(OnGround(360), OnGround(385), kFirstLanding, kBounceEnd, t, 900);
  const Vec2 rest = OnGround(392);
  if (t < kFetched) return OnGround(385 + 7 * std::min(1.0f, (t - kBounceEnd) / (kRestAfterBounce - kBounceEnd)));
  if (t < kDropped)
    return t < kFetched + 0.15f ? rest + (InMouth(kFetched + 0.15f) - rest) * ((t - kFetched) / 0.15f) : InMouth(t);
  const Vec2 drop = InMouth(kDropped);
  const Vec2 landing = OnGround(drop.x - 3);
  if (t < kDropLanding) return Flight(drop, landing, kDropped, kDropLanding, t, 900);
  const Vec2 pick = GirlHand(GirlAt(kPickedUp));
  if (t < kPickedUp) {
    const float u = std::min(1.0f, (t - kDropLanding) / 0.6f);
    return OnGround(landing.x + (pick.x - landing.x) * (u * (2 - u)));
  }
  if (t < kSecondThrow) return GirlHand(now.girl);
  if (t < kCaught) return Flight(GirlHand(GirlAt(kSecondThrow)), InMouth(kCaught), kSecondThrow, kCaught, t, 380);
  return InMouth(t);
}
}  // namespace

StoryMoment StoryAt(float t) {
  StoryMoment m;
  m.girl = GirlAt(t);
  m.dog = DogAt(t);
  m.ball = BallAt(t, m);
  return m;
}
