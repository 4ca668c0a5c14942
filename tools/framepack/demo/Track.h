#pragma once
// Key-framed values of the default animation's story, as functions of time in seconds.
#include <cmath>
#include <vector>

struct Key {
  float time;
  float value;
};

namespace track_detail {
// Index i such that keys[i].time <= t < keys[i + 1].time, or -1 / size-1 outside.
inline int Segment(const std::vector<Key>& keys, float t) {
  int i = -1;
  while (i + 1 < int(keys.size()) && keys[i + 1].time <= t) ++i;
  return i;
}
}  // namespace track_detail

// Straight lines between keys; held before the first and after the last. For positions: the
// speed is constant on a leg, so the walk cycle can follow the distance travelled.
inline float Linear(const std::vector<Key>& keys, float t) {
  const int i = track_detail::Segment(keys, t);
  if (i < 0) return keys.front().value;
  if (i + 1 >= int(keys.size())) return keys.back().value;
  const float u = (t - keys[i].time) / (keys[i + 1].time - keys[i].time);
  return keys[i].value + (keys[i + 1].value - keys[i].value) * u;
}

// Eased in and out between keys: for turns, bends and gestures.
inline float Eased(const std::vector<Key>& keys, float t) {
  const int i = track_detail::Segment(keys, t);
  if (i < 0) return keys.front().value;
  if (i + 1 >= int(keys.size())) return keys.back().value;
  float u = (t - keys[i].time) / (keys[i + 1].time - keys[i].time);
  u = u * u * (3 - 2 * u);
  return keys[i].value + (keys[i + 1].value - keys[i].value) * u;
}

// Distance travelled along a Linear track up to time t (sum of the legs' lengths).
inline float PathLength(const std::vector<Key>& keys, float t) {
  float length = 0;
  for (size_t i = 0; i + 1 < keys.size() && keys[i].time < t; ++i) {
    const float end = t < keys[i + 1].time ? Linear(keys, t) : keys[i + 1].value;
    length += std::fabs(end - keys[i].value);
  }
  return length;
}

// Speed along a Linear track, smoothed over a short window so that starts and stops ease.
inline float SmoothedSpeed(const std::vector<Key>& keys, float t) {
  const float window = 0.25f;
  return std::fabs(Linear(keys, t + window) - Linear(keys, t - window)) / (2 * window);
}

// A hop: rises and falls once between start and end.
inline float Bump(float t, float start, float end, float height) {
  if (t <= start || t >= end) return 0;
  return height * std::sin(3.14159265f * (t - start) / (end - start));
}
